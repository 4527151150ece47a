#pragma once

#include <QUrl>

// Pages of the item service's web site. The site is the scheme, host and
// port of the update information address the installation recorded.
namespace service {

inline constexpr char kHelpPage[] = "/pixvel/help.html";
inline constexpr char kItemShopPage[] = "/pixvel/item_mall.html";
inline constexpr char kNewsPage[] = "/pixvel/news.html";

// The page's address, or an empty URL when `infoUrl` names no web site.
QUrl PageUrl(const QString& infoUrl, const char* path);

} // namespace service
