#pragma once

#include <QWidget>

class CPageHeaderButton;

// A page of the image tool panel: a 25-pixel header button over a light grey
// body framed by a one-pixel line down the left, along the bottom and up the
// right. The body's controls are placed at fixed pixel positions.
class CPanelPage : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kWidth = 200;
    static inline const QColor kBackground{238, 238, 238};

    CPanelPage(const QString& caption, bool headerToggles, QWidget* parent = nullptr);

    CPageHeaderButton* Header() const { return header_; }
    // Shows or hides everything under the header, so that a collapsed page
    // keeps no hidden controls in the Tab order.
    void ShowBody(bool visible);

protected:
    void paintEvent(QPaintEvent* event) override;
    // Gives a child its place and an accessible name.
    static void Place(QWidget* control, const QRect& place, const QString& name);

private:
    CPageHeaderButton* header_;
};
