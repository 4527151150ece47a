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

private:
    void PlaceUnder(QWidget* anchor);
    void Mark(int index);

    ColourRef colour_;
    std::vector<ColourRef> recent_;
    int marked_ = -1;
    bool tracking_ = false;
    bool picked_ = false;
};
