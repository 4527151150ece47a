#pragma once

#include <QRect>
#include <QSize>
#include <QSizeF>

// Where the picture lies in the view at a zoom: centred in the client area
// when it is smaller, at the top-left edge of a scrolled area when larger.
struct ViewPlacement
{
    QRect picture; // in scroll space
    QSize total;   // the scroll extent
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

} // namespace ViewLayout
