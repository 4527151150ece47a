#pragma once

#include "ItemEffects.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QTransform>

#include <unordered_map>

class CItem;
class CItemCanvas;
class CPictureItem;
class QPainter;

// Draws what the view shows of the picture while an effect is being dragged:
// every picture item from a proxy (its bitmap scaled once to the size it takes
// on screen) with its current effects, blur and sharpen radii scaled alike,
// and only the part that lies in the asked rectangle. A proxy is kept until
// its item's bitmap or the size the item takes on screen (the zoom, the size
// of its outline) changes; the filtered part of it until the filter numbers or
// the part change, so a colour change only recolours. What is saved and
// printed never comes from here: that is the canvas composite.
class CPreviewRenderer
{
public:
    // An item drawn away from its place (while it is dragged): `move` maps
    // view coordinates to view coordinates. Its proxy keeps the size it had
    // when the drag began, so scaling never resamples the item's bitmap.
    struct Held
    {
        const CItem* item = nullptr;
        QTransform move;
    };

    // The rectangle `area` (view coordinates, inside the picture) of the
    // canvas at its zoom and origin, on white, with the held item moved.
    // Null when memory ran out.
    QImage Render(const CItemCanvas& canvas, const QRect& area, const Held& held);
    QImage Render(const CItemCanvas& canvas, const QRect& area);
    // How many proxies were scaled since this renderer was made.
    int ProxiesMade() const { return proxiesMade_; }

private:
    struct Proxy
    {
        qint64 from = 0; // cache key of the bitmap it was scaled from
        QImage scaled;
        QRect filteredPart;
        ItemEffects filteredFor;
        QImage filtered;
        QImage coloured;
        int frame = 0; // the last frame that drew it
    };

    Proxy& ProxyFor(const CPictureItem& item, QSize size, bool held);
    const QImage& Drawn(Proxy& proxy, const QRect& part, const ItemEffects& effects,
                        float radiusScale) const;
    void DrawPicture(QPainter& painter, const CPictureItem& item, const QTransform& toFrame,
                     bool held);
    void KeepProxy(const CPictureItem& item);
    void DropUnused();

    std::unordered_map<const CPictureItem*, Proxy> proxies_;
    int frame_ = 0;
    int proxiesMade_ = 0;
};
