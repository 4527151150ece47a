#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QSizeF>
#include <QTransform>

#include <optional>

// Where the picture lies in the view at a zoom: centred in the client area
// when it is smaller, at the top-left edge of a scrolled area when larger.
struct ViewPlacement
{
    QRect picture; // in scroll space
    QSize total;   // the scroll extent
};

// The values each scroll bar takes. The minimum is negative when a handle
// lies left of or above the scroll space.
struct ScrollRanges
{
    QPoint minimum;
    QPoint maximum;
};

namespace ViewLayout {

// The smallest area a picture is fitted into when it is opened.
inline constexpr QSize kFitArea{640, 480};

// The zoom a newly opened picture gets: shrunk to fit the client area (at
// least 640 × 480), never enlarged.
double FitZoom(const QSizeF& picture, const QSize& client);
// The zoom that fills the client area with the picture, shrinking or
// enlarging it.
double FillZoom(const QSizeF& picture, const QSize& client);
ViewPlacement Place(const QSizeF& picture, double zoom, const QSize& client);
// The scroll bars' ranges: the scroll space `total` widened by `reach` (what
// the pointer must be able to grab, view coordinates; may be empty), less the
// client; the values `keep` stay inside when given.
ScrollRanges Ranges(const QSize& total, const QSize& client, const QRectF& reach,
                    std::optional<QPoint> keep = std::nullopt);
// How an item from the library with the outline bounds `item` (picture
// pixels) is enlarged about its centre when placed: on a picture shown below
// 100 % it arrives at its own size on screen, but never larger than the
// picture and never smaller than its own pixels.
QTransform LibraryItemPlacement(const QRectF& item, const QSizeF& picture, double zoom);

} // namespace ViewLayout
