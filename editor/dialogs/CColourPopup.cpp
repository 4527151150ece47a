#include "CColourPopup.h"

#include "CColourPopupAccessible.h"
#include "CRecentColours.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <qdrawutil.h>

#include <algorithm>

#include <array>

namespace {

// Column by column, each column top to bottom.
constexpr std::array<std::uint32_t, 48> kPalette = {
    0xFFFFFF, 0xE0E0E0, 0xC0C0C0, 0x808080, 0x404040, 0x000000, // greys
    0xFFC0C0, 0xFF8080, 0xFF0000, 0xC00000, 0x800000, 0x400000, // reds
    0xFFE0C0, 0xFFE080, 0xFFC000, 0xFF8000, 0x804000, 0x804040, // oranges
    0xFFFFC0, 0xFFFF80, 0xFFFF00, 0xC0C000, 0x808000, 0x404000, // yellows
    0xC0FFC0, 0x80FF80, 0x00FF00, 0x00C000, 0x008000, 0x004000, // greens
    0xC0FFFF, 0x80FFFF, 0x00FFFF, 0x00C0C0, 0x008080, 0x004040, // cyans
    0xC0C0FF, 0x8080FF, 0x0000FF, 0x0000C0, 0x000080, 0x000040, // blues
    0xFFC0FF, 0xFF80FF, 0xFF00FF, 0xC000C0, 0x800080, 0x400040, // magentas
};

constexpr int kTop = CColourPopup::kMargin + CColourPopup::kBand + CColourPopup::kGap;
constexpr int kColumnStep = CColourPopup::kCellWidth + CColourPopup::kGap;
constexpr int kRowStep = CColourPopup::kCellHeight + CColourPopup::kGap;
// The separator and the "Custom..." button sit this far above the bottom edge.
constexpr int kSeparatorRise = 36;
constexpr int kButtonRise = 32;
constexpr int kButtonHeight = 20;

const QColor kCellFrame(204, 204, 204);
// An empty slot of the recent row: only its frame, dashed.
const QColor kEmptySlotFrame(170, 170, 170);
constexpr int kRecentLabelHeight = 16;

// Index along one axis, or -1 when the offset falls before the grid or in a gap.
int AxisHit(int offset, int step, int size)
{
    if (offset < 0 || offset % step > size) {
        return -1;
    }
    return offset / step;
}

} // namespace

CColourPopup::CColourPopup(QWidget* anchor, ColourRef current, QWidget* parent)
    : QDialog(parent ? parent : anchor, Qt::Popup | Qt::FramelessWindowHint), colour_(current),
      recent_(CRecentColours::Load())
{
    CColourPopupAccessible::Install();
    const int width = kClientWidth + 2 * kFrame;
    const int height = kClientHeight + 2 * kFrame;
    setFixedSize(width, height);
    setAccessibleName(QStringLiteral("색 목록"));
    // The cells take the keyboard first; Tab leads on to "Custom...".
    setFocusPolicy(Qt::StrongFocus);
    setFocus();

    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setGeometry(kMargin, height - kSeparatorRise, width - 2 * kMargin, 2);

    auto* custom = new QPushButton(QStringLiteral("Custom..."), this);
    custom->setObjectName(QStringLiteral("custom"));
    custom->setGeometry(kMargin, height - kButtonRise, width - 2 * kMargin, kButtonHeight);
    custom->setAutoDefault(false);
    connect(custom, &QPushButton::clicked, this, [this] {
        picked_ = false;
        accept();
    });

    auto* recentLabel = new QLabel(QStringLiteral("최근 색"), this);
    recentLabel->setObjectName(QStringLiteral("recentLabel"));
    recentLabel->setGeometry(kFrame + kMargin, kFrame + kRecentLabelTop, width - 2 * kMargin,
                             kRecentLabelHeight);

    // The fixed cell of the colour is marked, else its recent slot.
    for (int index = kCellCount - 1; index >= 0; --index) {
        if (CellColour(index) == current) {
            marked_ = index;
        }
    }
    if (anchor) {
        PlaceUnder(anchor);
    }
}

// The popup opens at the anchor's left edge, one pixel below it, and is kept
// on the anchor's screen.
void CColourPopup::PlaceUnder(QWidget* anchor)
{
    QPoint topLeft = anchor->mapToGlobal(QPoint(0, anchor->height() + 1));
    if (const QScreen* screen = anchor->screen()) {
        const QRect area = screen->availableGeometry();
        topLeft.setX(
            std::clamp(topLeft.x(), area.left(), std::max(area.left(), area.right() - width())));
        if (topLeft.y() + height() > area.bottom()) {
            topLeft.setY(anchor->mapToGlobal(QPoint(0, 0)).y() - height() - 1);
        }
    }
    move(topLeft);
}

int CColourPopup::HitTest(QPoint client)
{
    const int column = AxisHit(client.x() - kMargin, kColumnStep, kCellWidth);
    if (column < 0 || column >= kColumns) {
        return -1;
    }
    const int recentY = client.y() - kRecentTop;
    if (recentY >= 0 && recentY <= kCellHeight) {
        return kRecentFirst + column;
    }
    const int row = AxisHit(client.y() - kTop, kRowStep, kCellHeight);
    if (row < 0 || row >= kRows) {
        return -1;
    }
    return row + kRows * column;
}

std::optional<ColourRef> CColourPopup::CellColour(int index) const
{
    if (index >= 0 && index < kRecentFirst) {
        return PaletteColour(index);
    }
    const std::size_t slot = std::size_t(index - kRecentFirst);
    if (index >= kRecentFirst && slot < recent_.size()) {
        return recent_[slot];
    }
    return std::nullopt;
}

ColourRef CColourPopup::PaletteColour(int index)
{
    return FromRgbHex(kPalette.at(std::size_t(index)));
}

QRect CColourPopup::CellRect(int index)
{
    if (index >= kRecentFirst) {
        return QRect(kMargin + kColumnStep * (index - kRecentFirst), kRecentTop, kCellWidth,
                     kCellHeight);
    }
    const int column = index / kRows;
    const int row = index % kRows;
    return QRect(kMargin + kColumnStep * column, kTop + kRowStep * row, kCellWidth, kCellHeight);
}

void CColourPopup::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    qDrawWinPanel(&painter, rect(), palette(), false);
    painter.translate(kFrame, kFrame);

    painter.fillRect(
        QRect(QPoint(kMargin, kMargin), QPoint(kClientWidth - kMargin - 1, kMargin + kBand - 1)),
        QColor(0, 0, 255));
    painter.setBrush(Qt::NoBrush);
    for (int index = 0; index < kCellCount; ++index) {
        const QRect cell = CellRect(index);
        const std::optional<ColourRef> colour = CellColour(index);
        if (colour) {
            painter.fillRect(cell, ToQColor(*colour));
        }
        painter.setPen(colour ? QPen(kCellFrame) : QPen(kEmptySlotFrame, 1, Qt::DashLine));
        painter.drawRect(cell.adjusted(0, 0, -1, -1));
    }
    if (marked_ >= 0) {
        // The mark: a rounded frame three pixels outside the cell and a white
        // ring inside it, with the colour refilled two pixels in.
        const QRect cell = CellRect(marked_);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRoundedRect(QRectF(cell.adjusted(-3, -3, 2, 2)).translated(0.5, 0.5), 2, 2);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.fillRect(cell.adjusted(1, 1, -1, -1), Qt::white);
        painter.fillRect(cell.adjusted(2, 2, -2, -2), ToQColor(CellColour(marked_).value_or(0)));
    }
}

void CColourPopup::Mark(int index)
{
    const std::optional<ColourRef> colour = CellColour(index);
    if (!colour) {
        return; // an empty recent slot
    }
    colour_ = *colour;
    if (index != marked_) {
        marked_ = index;
        update();
        CPartsAccessible::NotifyCurrent(this, marked_);
    }
}

void CColourPopup::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    if (!rect().contains(event->position().toPoint())) {
        // A click outside the popup dismisses it.
        QDialog::mousePressEvent(event);
        return;
    }
    const int index = HitTest(ToClient(event->position().toPoint()));
    if (CellColour(index)) {
        tracking_ = true;
        Mark(index);
    }
}

void CColourPopup::mouseMoveEvent(QMouseEvent* event)
{
    if (!tracking_) {
        return;
    }
    if (const int index = HitTest(ToClient(event->position().toPoint())); index >= 0) {
        Mark(index);
    }
}

void CColourPopup::mouseReleaseEvent(QMouseEvent* event)
{
    if (!tracking_ || event->button() != Qt::LeftButton) {
        return;
    }
    tracking_ = false;
    Pick(marked_);
}

void CColourPopup::Pick(int index)
{
    if (!CellColour(index)) {
        return;
    }
    Mark(index);
    picked_ = true;
    accept();
}

int CColourPopup::Neighbour(int key) const
{
    if (marked_ < 0) {
        return 0;
    }
    const bool recent = marked_ >= kRecentFirst;
    int column = recent ? marked_ - kRecentFirst : marked_ / kRows;
    int row = recent ? kRows : marked_ % kRows;
    switch (key) {
    case Qt::Key_Left:
        column = std::max(column - 1, 0);
        break;
    case Qt::Key_Right:
        column = std::min(column + 1, kColumns - 1);
        break;
    case Qt::Key_Up:
        row = std::max(row - 1, 0);
        break;
    default:
        row = std::min(row + 1, kRows);
        break;
    }
    return row == kRows ? kRecentFirst + column : row + kRows * column;
}

void CColourPopup::keyPressEvent(QKeyEvent* event)
{
    if (!hasFocus()) {
        QDialog::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        Mark(Neighbour(event->key()));
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        Pick(marked_);
        break;
    default:
        QDialog::keyPressEvent(event);
        break;
    }
}

void CColourPopup::focusInEvent(QFocusEvent* event)
{
    QDialog::focusInEvent(event);
    CPartsAccessible::NotifyCurrent(this, marked_);
}
