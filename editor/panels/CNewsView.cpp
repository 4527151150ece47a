#include "CNewsView.h"

#include "CTextNewsView.h"
#include "CWebBrowser.h"
#ifdef PIXVEL_HAVE_WEBENGINE
#include "CWebNewsView.h"
#endif

#include <unistd.h>

namespace {

CNewsView::RootCheck& RootCheckInUse()
{
    static CNewsView::RootCheck check;
    return check;
}

} // namespace

CNewsView* CNewsView::Create(QWidget* parent)
{
#ifdef PIXVEL_HAVE_WEBENGINE
    if (!RunsAsRoot() && CWebNewsView::EngineFound()) {
        return new CWebNewsView(parent);
    }
#endif
    return new CTextNewsView(parent);
}

void CNewsView::SetRootCheck(RootCheck check)
{
    RootCheckInUse() = std::move(check);
}

bool CNewsView::RunsAsRoot()
{
    const RootCheck& check = RootCheckInUse();
    return check ? check() : getuid() == 0 || geteuid() == 0;
}

bool CNewsView::LeavesPage(const QUrl& page, const QUrl& target)
{
    return page.adjusted(QUrl::RemoveFragment) != target.adjusted(QUrl::RemoveFragment);
}

void CNewsView::OpenOutside(const QUrl& target)
{
    const QString scheme = target.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
        CWebBrowser::Open(this, target);
    }
}
