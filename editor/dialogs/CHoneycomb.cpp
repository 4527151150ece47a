#include "CHoneycomb.h"

#include <QMouseEvent>
#include <QPainter>

#include <array>
#include <cstdlib>

namespace {

// Main honeycomb rows, left to right; row n holds 13 − |n − 6| hexagons.
const std::array<std::vector<std::uint32_t>, 13> kRows = {{
    {0x003366, 0x336699, 0x3366CC, 0x003399, 0x000099, 0x0000CC, 0x000066},
    {0x006666, 0x006699, 0x0099CC, 0x0066CC, 0x0033CC, 0x0000FF, 0x3333FF, 0x333399},
    {0x008080, 0x009999, 0x33CCCC, 0x00CCFF, 0x0099FF, 0x0066FF, 0x3366FF, 0x3333CC, 0x666699},
    {0x339966, 0x00CC99, 0x00FFCC, 0x00FFFF, 0x33CCFF, 0x3399FF, 0x6699FF, 0x6666FF, 0x6600FF,
     0x6600CC},
    {0x339933, 0x00CC66, 0x00FF99, 0x66FFCC, 0x66FFFF, 0x66CCFF, 0x99CCFF, 0x9999FF, 0x9966FF,
     0x9933FF, 0x9900FF},
    {0x006600, 0x00CC00, 0x00FF00, 0x66FF99, 0x99FFCC, 0xCCFFFF, 0xCCECFF, 0xCCCCFF, 0xCC99FF,
     0xCC66FF, 0xCC00FF, 0x9900CC},
    {0x003300, 0x008000, 0x33CC33, 0x66FF66, 0x99FF99, 0xCCFFCC, 0xFFFFFF, 0xFFCCFF, 0xFF99FF,
     0xFF66FF, 0xFF00FF, 0xCC00CC, 0x660066},
    {0x336600, 0x009900, 0x66FF33, 0x99FF66, 0xCCFF99, 0xFFFFCC, 0xFFCCCC, 0xFF99CC, 0xFF66CC,
     0xFF33CC, 0xCC0099, 0x800080},
    {0x333300, 0x669900, 0x99FF33, 0xCCFF66, 0xFFFF99, 0xFFCC99, 0xFF9999, 0xFF6699, 0xFF3399,
     0xCC3399, 0x990099},
    {0x666633, 0x99CC00, 0xCCFF33, 0xFFFF66, 0xFFCC66, 0xFF9966, 0xFF7C80, 0xFF0066, 0xD60093,
     0x993366},
    {0x808000, 0xCCCC00, 0xFFFF00, 0xFFCC00, 0xFF9933, 0xFF6600, 0xFF5050, 0xCC0066, 0x660033},
    {0x996633, 0xCC9900, 0xFF9900, 0xCC6600, 0xFF3300, 0xFF0000, 0xCC0000, 0x990033},
    {0x663300, 0x996600, 0xCC3300, 0x993300, 0x990000, 0x800000, 0xA50021},
}};
const std::vector<std::uint32_t> kGreyRow0 = {0xF8F8F8, 0xDDDDDD, 0xB2B2B2, 0x808080,
                                              0x5F5F5F, 0x333333, 0x1C1C1C, 0x080808};
const std::vector<std::uint32_t> kGreyRow1 = {0xEAEAEA, 0xC0C0C0, 0x969696, 0x777777,
                                              0x4D4D4D, 0x292929, 0x111111};

constexpr int kHalfWidth = 7;
constexpr int kRowStep = 12;
constexpr int kHexagonStep = 14;
// Hit-test zones: the main honeycomb lies above kMainBottom, the grey rows
// right of kGreyLeft, the large hexagons below kLargeTop.
constexpr int kMainBottom = 160;
constexpr int kGreyTop = 172;
constexpr int kGreyLeft = 35;
constexpr int kGreyRight = 150;
constexpr int kLargeTop = 166;
constexpr int kLargeWidth = 28;
constexpr int kLargeRightCentre = 168;
constexpr int kLargeRightAfter = 153; // the right one is tested for 153 < x
constexpr int kWidth = 183;
constexpr int kHeight = 199;

CHoneycomb::Hexagon SmallHexagon(int cx, int y0, std::uint32_t rgb)
{
    QPolygon outline({QPoint(cx, y0), QPoint(cx - kHalfWidth, y0 + 3),
                      QPoint(cx - kHalfWidth, y0 + 11), QPoint(cx, y0 + 14),
                      QPoint(cx + kHalfWidth, y0 + 11), QPoint(cx + kHalfWidth, y0 + 3)});
    return {outline, QPoint(cx, y0 + 7), FromRgbHex(rgb)};
}

CHoneycomb::Hexagon LargeHexagon(int cx, std::uint32_t rgb)
{
    const int half = kLargeWidth / 2;
    QPolygon outline({QPoint(cx, 167), QPoint(cx - half, 173), QPoint(cx - half, 189),
                      QPoint(cx, 195), QPoint(cx + half, 189), QPoint(cx + half, 173)});
    return {outline, QPoint(cx, (167 + 195) / 2), FromRgbHex(rgb)};
}

void AddRow(std::vector<CHoneycomb::Hexagon>& hexagons, const std::vector<std::uint32_t>& colours,
            int firstCentre, int y0)
{
    for (std::size_t k = 0; k < colours.size(); ++k) {
        hexagons.push_back(SmallHexagon(firstCentre + kHexagonStep * int(k), y0, colours[k]));
    }
}

std::vector<CHoneycomb::Hexagon> MakeHexagons()
{
    std::vector<CHoneycomb::Hexagon> hexagons;
    for (int n = 0; n < int(kRows.size()); ++n) {
        AddRow(hexagons, kRows[std::size_t(n)], kHalfWidth * std::abs(n - 6) + kHalfWidth,
               kRowStep * n);
    }
    AddRow(hexagons, kGreyRow0, 42, kGreyTop);
    AddRow(hexagons, kGreyRow1, 49, kGreyTop + kRowStep);
    hexagons.push_back(LargeHexagon(kLargeWidth / 2, 0xFFFFFF));
    hexagons.push_back(LargeHexagon(kLargeRightCentre, 0x000000));
    return hexagons;
}

// Only points inside one of the three zones can hit a hexagon.
bool InZone(QPoint p)
{
    const bool main = p.y() < kMainBottom;
    const bool grey = p.x() >= kGreyLeft && p.x() <= kGreyRight && p.y() >= kGreyTop;
    const bool large = p.y() > kLargeTop &&
                       ((p.x() >= 0 && p.x() <= kLargeWidth) ||
                        (p.x() > kLargeRightAfter && p.x() <= kLargeRightCentre + kLargeWidth / 2));
    return main || grey || large;
}

// A copy of the outline pushed out from its centre by the given number of pixels.
QPolygon Enlarged(const CHoneycomb::Hexagon& hexagon, int by)
{
    QPolygon enlarged = hexagon.outline;
    for (QPoint& corner : enlarged) {
        const QPoint d = corner - hexagon.centre;
        corner += QPoint(d.x() > 0   ? by
                         : d.x() < 0 ? -by
                                     : 0,
                         d.y() > 0   ? by
                         : d.y() < 0 ? -by
                                     : 0);
    }
    return enlarged;
}

} // namespace

CHoneycomb::CHoneycomb(QWidget* parent) : QWidget(parent)
{
    setFixedSize(kWidth, kHeight);
}

QSize CHoneycomb::sizeHint() const
{
    return QSize(kWidth, kHeight);
}

const std::vector<CHoneycomb::Hexagon>& CHoneycomb::Hexagons()
{
    static const std::vector<Hexagon> hexagons = MakeHexagons();
    return hexagons;
}

int CHoneycomb::HitTest(QPoint point)
{
    if (!InZone(point)) {
        return -1;
    }
    const std::vector<Hexagon>& hexagons = Hexagons();
    for (std::size_t i = 0; i < hexagons.size(); ++i) {
        if (hexagons[i].outline.containsPoint(point, Qt::OddEvenFill)) {
            return int(i);
        }
    }
    return -1;
}

void CHoneycomb::Select(ColourRef colour)
{
    const std::vector<Hexagon>& hexagons = Hexagons();
    int found = -1;
    for (std::size_t i = 0; i < hexagons.size() && found < 0; ++i) {
        if (hexagons[i].colour == colour) {
            found = int(i);
        }
    }
    if (found != selected_) {
        selected_ = found;
        update();
    }
}

void CHoneycomb::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const Hexagon& hexagon : Hexagons()) {
        const QColor colour = ToQColor(hexagon.colour);
        painter.setPen(QPen(colour.darker(115), 1));
        painter.setBrush(colour);
        painter.drawPolygon(hexagon.outline);
    }
    if (selected_ >= 0) {
        const QPolygon outline = Enlarged(Hexagons()[std::size_t(selected_)], 2);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::black, 5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.drawPolygon(outline);
        painter.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.drawPolygon(outline);
    }
}

void CHoneycomb::PickAt(QPoint point)
{
    const int index = HitTest(point);
    if (index < 0) {
        return;
    }
    if (index != selected_) {
        selected_ = index;
        update();
    }
    emit ColourPicked(Hexagons()[std::size_t(index)].colour);
}

void CHoneycomb::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        PickAt(event->position().toPoint());
    }
}

void CHoneycomb::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton) {
        PickAt(event->position().toPoint());
    }
}
