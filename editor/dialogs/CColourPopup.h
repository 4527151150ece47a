#pragma once

#include "ColourRef.h"

#include <QDialog>

class QPushButton;

// The small grid of 48 fixed colours that a colour button drops down, with a
// "Custom..." button that leads on to the colour picker. It ends with OK when a
// cell was picked (Picked() is true) or "Custom..." was pressed (false); any
// other way out is Cancel.
class CColourPopup : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kColumns = 8;
    static constexpr int kRows = 6;
    static constexpr int kCellWidth = 18;
    static constexpr int kCellHeight = 16;
    static constexpr int kGap = 4;
    static constexpr int kBand = 5;
    static constexpr int kMargin = 10;
    // Drawn frame around the client area, as wide as a dialog frame.
    static constexpr int kFrame = 3;
    static constexpr int kClientWidth = 192;
    static constexpr int kClientHeight = 175;

    CColourPopup(QWidget* anchor, ColourRef current, QWidget* parent = nullptr);

    bool Picked() const { return picked_; }
    ColourRef Colour() const { return colour_; }

    // Palette cell under a point of the client area, or -1 in the gaps and
    // outside the grid. Cells are numbered row + kRows × column.
    static int HitTest(QPoint client);
    static ColourRef PaletteColour(int index);
    static QRect CellRect(int index);
    // Client-area point for a point of the popup window.
    static QPoint ToClient(QPoint window) { return window - QPoint(kFrame, kFrame); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void PlaceUnder(QWidget* anchor);
    void Mark(int index);

    ColourRef colour_;
    int marked_ = -1;
    bool tracking_ = false;
    bool picked_ = false;
};
