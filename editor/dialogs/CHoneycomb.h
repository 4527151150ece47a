#pragma once

#include "ColourRef.h"

#include <QPolygon>
#include <QWidget>

#include <vector>

// The standard page of the colour picker: a honeycomb of 127 colour hexagons,
// two rows of greys and a large white and a large black hexagon. Pressing or
// dragging over a hexagon picks its colour and outlines it.
class CHoneycomb : public QWidget
{
    Q_OBJECT

public:
    struct Hexagon
    {
        QPolygon outline;
        QPoint centre;
        ColourRef colour;
    };

    explicit CHoneycomb(QWidget* parent = nullptr);

    static const std::vector<Hexagon>& Hexagons();
    // Hexagon under a point of the control, or -1.
    static int HitTest(QPoint point);

    // Outlines the hexagon of this colour, if there is one.
    void Select(ColourRef colour);
    int Selected() const { return selected_; }

    QSize sizeHint() const override;

signals:
    void ColourPicked(ColourRef colour);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void PickAt(QPoint point);

    int selected_ = -1;
};
