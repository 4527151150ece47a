#include "CNewsView.h"

#include "CWebBrowser.h"

#include <unistd.h>

namespace {

CNewsView::RootCheck& RootCheckInUse()
{
    static CNewsView::RootCheck check;
    return check;
}

} // namespace

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
