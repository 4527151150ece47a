#pragma once

#include "CSizingControlBar.h"

// A sizing bar with a gripper strip and a close button. The strip runs along
// the top, or along the left side while the bar is docked at the top or the
// bottom; releasing the left button on the close box hides the bar.
class CSizingControlBarG : public CSizingControlBar
{
    Q_OBJECT

public:
    explicit CSizingControlBarG(const QString& caption, QWidget* parent = nullptr);

    // The title strip, painted and handled by the hooks below.
    QWidget* TitleBar() const { return titleBar_; }
    // Whether the strip runs along the left side (docked top or bottom).
    bool VerticalTitle() const { return IsHorizontal(); }
    // The close box in title bar coordinates.
    QRect CloseButtonRect() const;

    // Hooks of the title strip.
    virtual int TitleThickness() const { return 14; }
    virtual void PaintTitle(QPainter& painter, const QRect& strip);
    virtual bool TitlePress(QPoint point);
    virtual void TitleRelease(QPoint point);

protected:
    void AreaChanged(Qt::DockWidgetArea area) override;

private:
    QWidget* titleBar_;
    bool closePressed_ = false;
};
