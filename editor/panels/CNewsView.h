#pragma once

#include <QUrl>
#include <QWidget>

#include <functional>

// The news tab's web view. The panel tells it which address to show; an
// empty address shows an empty page. Links that lead away from the news page
// open in the desktop's web browser, never inside the panel.
class CNewsView : public QWidget
{
    Q_OBJECT

public:
    // Whether the process runs as the superuser.
    using RootCheck = std::function<bool()>;

    using QWidget::QWidget;

    // Replaces the superuser check (tests pretend to be root); an empty
    // check puts the real one back.
    static void SetRootCheck(RootCheck check);
    static bool RunsAsRoot();

    // Loads the address again even when it is the one already shown.
    virtual void Navigate(const QUrl& address) = 0;
    virtual QUrl Address() const = 0;

    // Whether following a link from the news page to `target` leaves it
    // (anything but a place on the same page does).
    static bool LeavesPage(const QUrl& page, const QUrl& target);
    // Hands a web address (http or https; the page may name others, which
    // are ignored) to the desktop's web browser, telling the user when none
    // starts.
    void OpenOutside(const QUrl& target);
};
