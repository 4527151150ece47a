#include "CPreviewRenderer.h"

#include "CEffectPainter.h"
#include "CItemCanvas.h"
#include "CPictureItem.h"

#include <QLineF>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace {

// Upper-left, upper-right and lower-left corner of an outline, mapped.
CEffectPainter::Corners CornersOf(const QPainterPath& outline, const QTransform& map)
{
    return {map.map(QPointF(outline.elementAt(0))), map.map(QPointF(outline.elementAt(1))),
            map.map(QPointF(outline.elementAt(3)))};
}

// The proxy's size: the size the bitmap takes on screen, never enlarged.
QSize ProxySize(const CEffectPainter::Corners& corners, QSize bitmap)
{
    const double across = QLineF(corners[0], corners[1]).length();
    const double down = QLineF(corners[0], corners[2]).length();
    return {std::clamp(int(std::lround(across)), 1, bitmap.width()),
            std::clamp(int(std::lround(down)), 1, bitmap.height())};
}

// Proxy pixels to the parallelogram of the corners.
QTransform Placement(QSize size, const CEffectPainter::Corners& corners)
{
    const QPointF across = corners[1] - corners[0];
    const QPointF down = corners[2] - corners[0];
    const QTransform place(across.x() / size.width(), across.y() / size.width(),
                           down.x() / size.height(), down.y() / size.height(), corners[0].x(),
                           corners[0].y());
    // Upright and within half a pixel of the proxy's own size (the usual
    // case: the proxy was scaled to it): drawn unscaled, on whole pixels,
    // which is several times faster than resampling.
    const bool upright = place.m12() == 0 && place.m21() == 0;
    if (upright && std::abs(across.x() - size.width()) < 0.5 &&
        std::abs(down.y() - size.height()) < 0.5) {
        return QTransform::fromTranslate(std::round(corners[0].x()), std::round(corners[0].y()));
    }
    return place;
}

// Pixels around a part that the filters read: half of each active kernel.
int FilterMargin(const ItemEffects& effects, float radiusScale)
{
    float radius = 0;
    radius += effects.SharpenActive() ? effects.sharpenRadius : 0.0f;
    radius += effects.BlurActive() ? effects.blurRadius : 0.0f;
    return int(std::ceil(radius * radiusScale * 2.5f)) + 1;
}

} // namespace

QImage CPreviewRenderer::Render(const CItemCanvas& canvas, const QRect& area)
{
    return Render(canvas, area, Held());
}

QImage CPreviewRenderer::Render(const CItemCanvas& canvas, const QRect& area, const Held& held)
{
    QImage frame(area.size(), QImage::Format_RGB32);
    if (frame.isNull()) {
        return frame;
    }
    frame.fill(Qt::white);
    ++frame_;
    const double zoom = canvas.Zoom();
    const QTransform toView = QTransform::fromScale(zoom, zoom) *
                              QTransform::fromTranslate(canvas.Origin().x(), canvas.Origin().y());
    const QTransform toArea = QTransform::fromTranslate(-area.left(), -area.top());
    QPainter painter(&frame);
    for (int index = 0; index < canvas.Count(); ++index) {
        const CItem& item = *canvas.ItemAt(index);
        const bool isHeld = &item == held.item;
        const QTransform toFrame = isHeld ? toView * held.move * toArea : toView * toArea;
        if (item.GetKind() == CItem::Picture) {
            DrawPicture(painter, static_cast<const CPictureItem&>(item), toFrame, isHeld);
        } else if (item.GetKind() == CItem::Text) {
            painter.save();
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setTransform(toFrame);
            item.Draw(painter);
            painter.restore();
        }
    }
    DropUnused();
    return frame;
}

void CPreviewRenderer::DrawPicture(QPainter& painter, const CPictureItem& item,
                                   const QTransform& toFrame, bool held)
{
    const QImage& bitmap = item.Bitmap();
    if (bitmap.isNull() || item.Outline().elementCount() < 4) {
        return;
    }
    const CEffectPainter::Corners corners = CornersOf(item.Outline(), toFrame);
    const QRectF frame(0, 0, painter.device()->width(), painter.device()->height());
    if (!toFrame.map(item.Outline()).boundingRect().intersects(frame)) {
        KeepProxy(item); // off screen now, perhaps back on the next frame
        return;
    }
    Proxy& proxy = ProxyFor(item, ProxySize(corners, bitmap.size()), held);
    const QTransform place = Placement(proxy.scaled.size(), corners);
    bool invertible = false;
    const QTransform toProxy = place.inverted(&invertible);
    if (!invertible) {
        return; // a flattened outline covers nothing
    }
    const ItemEffects& effects = item.Effects();
    const float radiusScale = float(0.5 * (double(proxy.scaled.width()) / bitmap.width() +
                                           double(proxy.scaled.height()) / bitmap.height()));
    const int margin = FilterMargin(effects, radiusScale);
    const QRect part =
        toProxy.mapRect(frame).toAlignedRect().adjusted(-margin, -margin, margin, margin) &
        proxy.scaled.rect();
    if (part.isEmpty()) {
        return;
    }
    const QImage& drawn = Drawn(proxy, part, effects, radiusScale);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, place.isScaling() || place.isRotating());
    painter.setRenderHint(QPainter::Antialiasing, place.isRotating());
    painter.setTransform(QTransform::fromTranslate(part.x(), part.y()) * place);
    painter.drawImage(QPointF(0, 0), drawn);
    painter.restore();
}

CPreviewRenderer::Proxy& CPreviewRenderer::ProxyFor(const CPictureItem& item, QSize size, bool held)
{
    Proxy& proxy = proxies_[&item];
    proxy.frame = frame_;
    const QImage& bitmap = item.Bitmap();
    const bool resized = proxy.scaled.size() != size && !held;
    if (proxy.from != bitmap.cacheKey() || resized) {
        proxy = Proxy();
        proxy.frame = frame_;
        proxy.from = bitmap.cacheKey();
        proxy.scaled = size == bitmap.size()
                           ? bitmap
                           : bitmap.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        ++proxiesMade_;
    }
    return proxy;
}

const QImage& CPreviewRenderer::Drawn(Proxy& proxy, const QRect& part, const ItemEffects& effects,
                                      float radiusScale) const
{
    if (proxy.filtered.isNull() || proxy.filteredPart != part ||
        !CEffectPainter::SameFilters(proxy.filteredFor, effects)) {
        proxy.filtered = QImage(); // frees the old one before the new one is made
        proxy.filtered = CEffectPainter::Filter(proxy.scaled.copy(part), effects, radiusScale);
        proxy.filteredPart = part;
        proxy.filteredFor = effects;
    }
    proxy.coloured = CEffectPainter::Colour(proxy.filtered, effects, std::move(proxy.coloured));
    return proxy.coloured;
}

void CPreviewRenderer::KeepProxy(const CPictureItem& item)
{
    if (const auto found = proxies_.find(&item); found != proxies_.end()) {
        found->second.frame = frame_;
    }
}

void CPreviewRenderer::DropUnused()
{
    std::erase_if(proxies_, [this](const auto& entry) { return entry.second.frame != frame_; });
}
