#include "CTextDecorationPainter.h"

#include "CTextItem.h"

#include <QImage>
#include <QPainter>

#include <array>
#include <cmath>
#include <vector>

namespace {

// A blur reaches about three radii.
constexpr double kBlurReach = 3.0;

QColor ColourOf(uint32_t colour, int alpha = 255)
{
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF), alpha);
}

// The shapes of a text in its layout, and where they go.
struct Shapes
{
    QPainterPath glyphs;
    int outlineWidth = 0; // none when 0
    QRectF box;           // the text's layout box with the glyphs' overhang
    QTransform placement;
};

Shapes ShapesOf(const CTextItem& item)
{
    const TextOutline& outline = item.Decoration().outline;
    return {item.Layout(), outline.on ? outline.width : 0,
            item.LayoutBox().united(item.Layout().boundingRect()), item.Placement()};
}

// The glyphs with their outline, in layout coordinates.
QRectF Silhouette(const Shapes& shapes)
{
    const double width = shapes.outlineWidth;
    return shapes.glyphs.boundingRect().adjusted(-width, -width, width, width);
}

// Everything the item covers, in layout coordinates.
QRectF ShapesReach(const Shapes& shapes, const TextDecoration& decoration)
{
    QRectF reach = Silhouette(shapes);
    if (decoration.shadow.on) {
        const double blur = kBlurReach * decoration.shadow.softness;
        reach = reach.united(reach.translated(decoration.shadow.dx, decoration.shadow.dy)
                                 .adjusted(-blur, -blur, blur, blur));
    }
    if (decoration.box.on) {
        reach = reach.united(
            CTextDecorationPainter::BoxShape(shapes.box, decoration.box).boundingRect());
    }
    return reach;
}

// Device pixels that `area` (in layout coordinates, carried to the device
// by `toDevice`) touches, grown by `margin` pixels, and never more than the
// device with that margin. Its edges lie on a grid of kGrid pixels: the same
// text placed a hair differently (read back from a project) is drawn at the
// same offset within its layer, so to the same pixels.
QRect DeviceArea(const QPainter& painter, const QTransform& toDevice, const QRectF& area,
                 double margin)
{
    constexpr double kGrid = 64;
    const QRectF device(0, 0, painter.device()->width(), painter.device()->height());
    const QRectF grown = toDevice.mapRect(area)
                             .adjusted(-margin, -margin, margin, margin)
                             .intersected(device.adjusted(-margin, -margin, margin, margin));
    if (grown.isEmpty()) {
        return QRect();
    }
    const auto down = [](double value) { return int(std::floor(value / kGrid) * kGrid); };
    const auto up = [](double value) { return int(std::ceil(value / kGrid) * kGrid); };
    return QRect(QPoint(down(grown.left()), down(grown.top())),
                 QPoint(up(grown.right()) - 1, up(grown.bottom()) - 1));
}

// A band `outlineWidth` pixels wide on either side of the glyphs' edge (the
// glyphs cover the inner half). Stroked by the painter: far cheaper than
// filling the stroke's own path, which crosses itself at every curve.
void StrokeOutline(QPainter& painter, const Shapes& shapes, const QColor& colour)
{
    QPen pen(colour, 2.0 * shapes.outlineWidth);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    painter.strokePath(shapes.glyphs, pen);
}

void FillShapes(QPainter& painter, const Shapes& shapes, const QColor& colour)
{
    if (shapes.outlineWidth > 0) {
        StrokeOutline(painter, shapes, colour);
    }
    painter.fillPath(shapes.glyphs, colour);
}

// A soft shadow: the silhouette drawn as a mask on the device's pixel grid,
// blurred there and laid down in the shadow's colour.
void DrawSoftShadow(QPainter& painter, const Shapes& shapes, const TextShadow& shadow)
{
    const QTransform toDevice = QTransform::fromTranslate(shadow.dx, shadow.dy) * shapes.placement *
                                painter.worldTransform();
    // Kept to 1/1024 pixel, so that a text placed a hair differently blurs
    // the same (the box sizes change at whole radii).
    const double sigma =
        std::round(shadow.softness * std::sqrt(std::abs(toDevice.determinant())) * 1024) / 1024;
    const QRect area = DeviceArea(painter, toDevice, Silhouette(shapes), kBlurReach * sigma + 1);
    if (area.isEmpty()) {
        return;
    }
    QImage mask(area.size(), QImage::Format_Alpha8);
    QImage coloured(area.size(), QImage::Format_ARGB32_Premultiplied);
    if (mask.isNull() || coloured.isNull()) {
        return; // a shadow too large for memory is left out
    }
    mask.fill(0);
    {
        QPainter maskPainter(&mask);
        maskPainter.setRenderHint(QPainter::Antialiasing);
        maskPainter.setTransform(toDevice * QTransform::fromTranslate(-area.left(), -area.top()));
        FillShapes(maskPainter, shapes, Qt::black);
    }
    CTextDecorationPainter::BlurMask(mask, sigma);
    coloured.fill(ColourOf(shadow.colour));
    {
        QPainter colourPainter(&coloured);
        colourPainter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        colourPainter.drawImage(0, 0, mask);
    }
    painter.save();
    painter.resetTransform();
    painter.drawImage(area.topLeft(), coloured);
    painter.restore();
}

void DrawShadow(QPainter& painter, const Shapes& shapes, const TextShadow& shadow)
{
    if (shadow.softness > 0) {
        DrawSoftShadow(painter, shapes, shadow);
        return;
    }
    painter.save();
    painter.setWorldTransform(QTransform::fromTranslate(shadow.dx, shadow.dy) * shapes.placement,
                              true);
    FillShapes(painter, shapes, ColourOf(shadow.colour));
    painter.restore();
}

// The parts from the bottom up; the glyphs are the item's own outline, so a
// decorated text has exactly the letters of a plain one.
void DrawParts(QPainter& painter, const CTextItem& item, const Shapes& shapes,
               const QColor& glyphColour)
{
    const TextDecoration& decoration = item.Decoration();
    if (decoration.box.on) {
        painter.save();
        painter.setWorldTransform(shapes.placement, true);
        painter.fillPath(CTextDecorationPainter::BoxShape(shapes.box, decoration.box),
                         ColourOf(decoration.box.colour, decoration.box.alpha));
        painter.restore();
    }
    if (decoration.shadow.on) {
        DrawShadow(painter, shapes, decoration.shadow);
    }
    if (shapes.outlineWidth > 0) {
        painter.save();
        painter.setWorldTransform(shapes.placement, true);
        StrokeOutline(painter, shapes, ColourOf(decoration.outline.colour));
        painter.restore();
    }
    painter.fillPath(item.Outline(), glyphColour);
}

// Taken from the box sizes of three passes that come closest to a Gaussian.
std::array<int, 3> BoxRadii(double sigma)
{
    constexpr int passes = 3;
    const double ideal = std::sqrt(12 * sigma * sigma / passes + 1);
    int lower = int(std::floor(ideal));
    if (lower % 2 == 0) {
        --lower;
    }
    const double wide =
        (12 * sigma * sigma - passes * lower * lower - 4.0 * passes * lower - 3.0 * passes) /
        (-4.0 * lower - 4);
    const int narrowPasses = int(std::lround(wide));
    std::array<int, 3> radii{};
    for (int i = 0; i < passes; ++i) {
        radii[size_t(i)] = ((i < narrowPasses ? lower : lower + 2) - 1) / 2;
    }
    return radii;
}

// One box pass along a line of `count` values `step` apart; beyond the ends
// the mask is clear.
void BoxLine(uchar* first, int count, qsizetype step, int radius, std::vector<int>& line)
{
    line.assign(size_t(count), 0);
    for (int i = 0; i < count; ++i) {
        line[size_t(i)] = first[i * step];
    }
    const int width = 2 * radius + 1;
    int sum = 0;
    for (int i = 0; i < std::min(radius, count); ++i) {
        sum += line[size_t(i)];
    }
    for (int i = 0; i < count; ++i) {
        if (i + radius < count) {
            sum += line[size_t(i + radius)];
        }
        if (i - radius - 1 >= 0) {
            sum -= line[size_t(i - radius - 1)];
        }
        first[i * step] = uchar((sum + width / 2) / width);
    }
}

} // namespace

QPainterPath CTextDecorationPainter::BoxShape(const QRectF& layoutBox, const TextBox& box)
{
    const QRectF rect = layoutBox.adjusted(-box.padding, -box.padding, box.padding, box.padding);
    const double radius = std::min({double(box.radius), rect.width() / 2, rect.height() / 2});
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

void CTextDecorationPainter::BlurMask(QImage& mask, double sigma)
{
    if (sigma <= 0 || mask.isNull()) {
        return;
    }
    std::vector<int> line;
    for (const int radius : BoxRadii(sigma)) {
        if (radius <= 0) {
            continue;
        }
        for (int y = 0; y < mask.height(); ++y) {
            BoxLine(mask.scanLine(y), mask.width(), 1, radius, line);
        }
        for (int x = 0; x < mask.width(); ++x) {
            BoxLine(mask.bits() + x, mask.height(), mask.bytesPerLine(), radius, line);
        }
    }
}

QRectF CTextDecorationPainter::Reach(const CTextItem& item)
{
    return ShapesReach(ShapesOf(item), item.Decoration());
}

void CTextDecorationPainter::Draw(QPainter& painter, const CTextItem& item)
{
    const int opacity = std::clamp(item.Effects().opacity, 0, 100);
    if (opacity == 0) {
        return;
    }
    const Shapes shapes = ShapesOf(item);
    if (opacity == 100) {
        DrawParts(painter, item, shapes, item.FillColour());
        return;
    }
    const QRect area = DeviceArea(painter, shapes.placement * painter.worldTransform(),
                                  ShapesReach(shapes, item.Decoration()), 1);
    QImage layer(area.size(), QImage::Format_ARGB32_Premultiplied);
    if (area.isEmpty() || layer.isNull()) {
        return;
    }
    layer.fill(Qt::transparent);
    {
        QPainter layerPainter(&layer);
        layerPainter.setRenderHints(painter.renderHints());
        layerPainter.setTransform(painter.worldTransform() *
                                  QTransform::fromTranslate(-area.left(), -area.top()));
        QColor glyphColour = item.FillColour();
        glyphColour.setAlpha(255);
        DrawParts(layerPainter, item, shapes, glyphColour);
    }
    painter.save();
    painter.resetTransform();
    painter.setOpacity(painter.opacity() * opacity * 0.01);
    painter.drawImage(area.topLeft(), layer);
    painter.restore();
}
