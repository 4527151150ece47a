#include "CNewsView.h"

#include "CTextNewsView.h"
#ifdef PIXVEL_HAVE_WEBENGINE
#include "CWebNewsView.h"
#endif

#include <QDesktopServices>

CNewsView* CNewsView::Create(QWidget* parent)
{
#ifdef PIXVEL_HAVE_WEBENGINE
    return new CWebNewsView(parent);
#else
    return new CTextNewsView(parent);
#endif
}

bool CNewsView::LeavesPage(const QUrl& page, const QUrl& target)
{
    return page.adjusted(QUrl::RemoveFragment) != target.adjusted(QUrl::RemoveFragment);
}

void CNewsView::OpenOutside(const QUrl& target)
{
    QDesktopServices::openUrl(target);
}
