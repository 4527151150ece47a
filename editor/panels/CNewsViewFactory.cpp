#include "CNewsViewFactory.h"

#include "CTextNewsView.h"
#ifdef PIXVEL_HAVE_WEBENGINE
#include "CWebNewsView.h"
#endif

CNewsView* CNewsViewFactory::Create(QWidget* parent)
{
#ifdef PIXVEL_HAVE_WEBENGINE
    if (!CNewsView::RunsAsRoot() && CWebNewsView::EngineFound()) {
        return new CWebNewsView(parent);
    }
#endif
    return new CTextNewsView(parent);
}
