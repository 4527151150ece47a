#pragma once

#include "ColourRef.h"

#include <QDialog>

#include <optional>
#include <vector>

class QPushButton;

// The small grid of 48 fixed colours that a colour button drops down, a row
// "최근 색" of the colours last chosen anywhere in the program, and a
// "Custom..." button that leads on to the colour picker. It ends with OK when a
// cell was picked (Picked() is true) or "Custom..." was pressed (false); any
// other way out is Cancel. The arrow keys move the mark across the cells
// (the recent row below the grid) and Enter or Space picks the marked one.
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
    // The recent row: its caption, then one row of cells under the grid.
    static constexpr int kRecentLabelTop = 138;
    static constexpr int kRecentTop = 156;
    static constexpr int kClientHeight = 212;
    // Cells are numbered row + kRows × column in the grid, then
    // kRecentFirst + slot in the recent row.
    static constexpr int kRecentFirst = kColumns * kRows;
    static constexpr int kCellCount = kRecentFirst + kColumns;

    // The recent row shows the colours stored in the settings.
    CColourPopup(QWidget* anchor, ColourRef current, QWidget* parent = nullptr);

    bool Picked() const { return picked_; }
    ColourRef Colour() const { return colour_; }
    // The marked cell, or -1 when none is.
    int Marked() const { return marked_; }
    // The cells that show a colour: the grid, then the filled recent slots.
    int ShownCellCount() const { return kRecentFirst + int(recent_.size()); }
    // Marks a cell and ends with OK, as a click on it does; nothing for an
    // empty slot.
    void Pick(int index);

    // Cell under a point of the client area (grid or recent row), or -1 in
    // the gaps and outside the cells.
    static int HitTest(QPoint client);
    static ColourRef PaletteColour(int index);
    static QRect CellRect(int index);
    // The colour a cell shows; nothing for an empty slot of the recent row.
    std::optional<ColourRef> CellColour(int index) const;
    // Client-area point for a point of the popup window.
    static QPoint ToClient(QPoint window) { return window - QPoint(kFrame, kFrame); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void PlaceUnder(QWidget* anchor);
    void Mark(int index);
    // The cell an arrow key leads to from the marked one.
    int Neighbour(int key) const;

    ColourRef colour_;
    std::vector<ColourRef> recent_;
    int marked_ = -1;
    bool tracking_ = false;
    bool picked_ = false;
};
