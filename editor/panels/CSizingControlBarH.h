#pragma once

#include "CSizingControlBarG.h"

#include <QColor>
#include <QStringList>

// The sizing bar the editor's panels live in: a caption strip instead of the
// gripper, no close button (close requests are ignored; the View menu shows
// and hides the bar), and a collapse button in the middle of the sizing edge
// that shrinks the bar to its minimum and expands it again.
class CSizingControlBarH : public CSizingControlBarG
{
    Q_OBJECT

public:
    explicit CSizingControlBarH(const QString& caption, QWidget* parent = nullptr);

    // "굴림" when a family of that name is installed, otherwise "Arial".
    static QString CaptionFontName(const QStringList& families);
    QString CaptionFont() const { return captionFont_; }

    bool IsCollapsed() const { return collapsed_; }
    // Collapsing sets the docked size to the minimum; expanding sets it to the
    // floating size, which is the default size unless the bar was floated and
    // resized.
    void ToggleCollapse();

    // The collapse button in client coordinates: 31 pixels along the sizing
    // edge, centred, across the whole edge.
    QRect CollapseButtonRect() const;

    int TitleThickness() const override;
    void PaintTitle(QPainter& painter, const QRect& strip) override;
    bool TitlePress(QPoint point) override;
    void TitleRelease(QPoint point) override;

protected:
    void PaintEdge(QPainter& painter, const QRect& edge) override;
    bool EdgePress(QPoint point) override;
    void EdgeMove(QPoint point) override;
    void EdgeRelease(QPoint point) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool IsActive() const;
    void PaintArrow(QPainter& painter, const QRect& button) const;

    QString captionFont_;
    QColor edgeColour_;
    bool collapsed_ = false;
    bool pressed_ = false;
};
