#include "CViewLayout.h"

#include <algorithm>
#include <cmath>

namespace ViewLayout {

double FitZoom(const QSizeF& picture, const QSize& client)
{
    if (picture.isEmpty()) {
        return 1.0;
    }
    const QSize area = client.expandedTo(kFitArea);
    const bool taller = picture.height() / picture.width() > double(area.height()) / area.width();
    if (taller) {
        return picture.height() > area.height() ? area.height() / picture.height() : 1.0;
    }
    return picture.width() > area.width() ? area.width() / picture.width() : 1.0;
}

double FillZoom(const QSizeF& picture, const QSize& client)
{
    if (picture.isEmpty() || client.isEmpty()) {
        return 1.0;
    }
    const bool clientTaller =
        double(client.height()) / client.width() >= picture.height() / picture.width();
    return clientTaller ? client.width() / picture.width() : client.height() / picture.height();
}

namespace {

// The offset and the extent along one axis.
std::pair<int, int> PlaceAxis(int scaled, int client)
{
    if (client < scaled) {
        return {0, scaled};
    }
    return {int(std::lround(client / 2.0 - scaled / 2.0)), client};
}

// The first and last value of one scroll bar.
std::pair<int, int> RangeAxis(int total, int client, double low, double high,
                              std::optional<int> keep)
{
    int first = std::min(0, int(std::floor(low)));
    int last = std::max(total, int(std::ceil(high))) - client;
    if (keep) {
        first = std::min(first, *keep);
        last = std::max(last, *keep);
    }
    return {first, std::max(first, last)};
}

// A side of the picture at the zoom; a picture never shrinks to nothing.
int ScaledSide(double side, double zoom)
{
    return side > 0 ? std::max(1, int(std::lround(side * zoom))) : 0;
}

} // namespace

ViewPlacement Place(const QSizeF& picture, double zoom, const QSize& client)
{
    const int width = ScaledSide(picture.width(), zoom);
    const int height = ScaledSide(picture.height(), zoom);
    const auto [left, totalWidth] = PlaceAxis(width, client.width());
    const auto [top, totalHeight] = PlaceAxis(height, client.height());
    return {QRect(left, top, width, height), QSize(totalWidth, totalHeight)};
}

ScrollRanges Ranges(const QSize& total, const QSize& client, const QRectF& reach,
                    std::optional<QPoint> keep)
{
    // Without a reach the scroll space alone counts.
    const QRectF span = reach.isEmpty() ? QRectF(0, 0, 0, 0) : reach;
    const auto [left, right] = RangeAxis(total.width(), client.width(), span.left(), span.right(),
                                         keep ? std::optional(keep->x()) : std::nullopt);
    const auto [top, bottom] = RangeAxis(total.height(), client.height(), span.top(), span.bottom(),
                                         keep ? std::optional(keep->y()) : std::nullopt);
    return {QPoint(left, top), QPoint(right, bottom)};
}

QTransform LibraryItemPlacement(const QRectF& item, const QSizeF& picture, double zoom)
{
    if (zoom >= 1.0 || !(zoom > 0) || item.isEmpty()) {
        return {};
    }
    const double fit = std::min(picture.width() / item.width(), picture.height() / item.height());
    const double scale = std::max(1.0, std::min(1.0 / zoom, fit));
    const QPointF centre = item.center();
    return QTransform::fromTranslate(-centre.x(), -centre.y()) *
           QTransform::fromScale(scale, scale) * QTransform::fromTranslate(centre.x(), centre.y());
}

} // namespace ViewLayout
