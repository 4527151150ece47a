#pragma once

#include <QUrl>
#include <QWidget>

// The news tab's web view. The panel tells it which address to show; an
// empty address shows an empty page. Links that lead away from the news page
// open in the desktop's web browser, never inside the panel.
class CNewsView : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;

    // The view for this build: Qt WebEngine where it was found at build
    // time, else a text browser that fetches the page itself.
    static CNewsView* Create(QWidget* parent = nullptr);

    // Loads the address again even when it is the one already shown.
    virtual void Navigate(const QUrl& address) = 0;
    virtual QUrl Address() const = 0;

    // Whether following a link from the news page to `target` leaves it
    // (anything but a place on the same page does).
    static bool LeavesPage(const QUrl& page, const QUrl& target);
    // Hands an address to the desktop's web browser.
    static void OpenOutside(const QUrl& target);
};
