#include "ServicePages.h"

namespace service {

QUrl PageUrl(const QString& infoUrl, const char* path)
{
    const QUrl info(infoUrl.trimmed(), QUrl::StrictMode);
    const QString scheme = info.scheme().toLower();
    if (!info.isValid() || info.host().isEmpty() || (scheme != "http" && scheme != "https")) {
        return {};
    }
    QUrl page;
    page.setScheme(scheme);
    page.setHost(info.host());
    page.setPort(info.port());
    page.setPath(QString::fromLatin1(path));
    return page;
}

} // namespace service
