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

} // namespace ViewLayout
