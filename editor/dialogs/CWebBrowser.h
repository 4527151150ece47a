#pragma once

#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

// Runs the desktop's web browser on an address (the logo, 사용법 and the
// news page's links). When no browser can be started the user is told so,
// with the address in the box selectable, so it can be copied into a
// browser by hand.
class CWebBrowser
{
public:
    static const QString kCannotOpen;
    // Starts a browser on the address; whether one started.
    using Launcher = std::function<bool(const QUrl&)>;

    // Through `launch` when given, else through the desktop's URL handling.
    // Whether a browser started.
    static bool Open(QWidget* parent, const QUrl& address, const Launcher& launch = {});
};
