#include "CEffectPainter.h"

#include "CColourMatrix.h"
#include "CFilterEngine.h"
#include "CImageAttributes.h"
#include "ItemEffects.h"

#include <QPainter>
#include <QTransform>

namespace {

bool KernelFits(bool active, float radius)
{
    return !active || CFilterEngine::MakeKernel(radius).has_value();
}

} // namespace

// Sharpen then blur. The picture goes on unfiltered when either kernel would
// be too large; a picture shared with no other QImage is filtered in place.
QImage CEffectPainter::Filter(QImage bitmap, const ItemEffects& effects, float radiusScale)
{
    if (!KernelFits(effects.SharpenActive(), effects.sharpenRadius) ||
        !KernelFits(effects.BlurActive(), effects.blurRadius)) {
        return bitmap;
    }
    if (effects.SharpenActive()) {
        bitmap = CFilterEngine::UnsharpMask(bitmap, effects.sharpenRadius * radiusScale,
                                            effects.sharpenAmount);
    }
    if (effects.BlurActive() && !bitmap.isNull()) {
        bitmap = CFilterEngine::GaussianBlur(std::move(bitmap), effects.blurRadius * radiusScale);
    }
    return bitmap;
}

QImage CEffectPainter::Colour(QImage filtered, const ItemEffects& effects, QImage reuse)
{
    const CImageAttributes attributes(CColourMatrix::FromEffects(effects), effects.gamma);
    if (attributes.IsIdentity() || filtered.isNull()) {
        return filtered;
    }
    return attributes.Apply(std::move(filtered), std::move(reuse));
}

bool CEffectPainter::SameFilters(const ItemEffects& a, const ItemEffects& b)
{
    return a.sharpenAmount == b.sharpenAmount && a.sharpenRadius == b.sharpenRadius &&
           a.blurRadius == b.blurRadius;
}

QImage CEffectPainter::Apply(QImage bitmap, const ItemEffects& effects)
{
    return Colour(Filter(std::move(bitmap), effects), effects);
}

void CEffectPainter::Draw(QPainter& painter, const QImage& bitmap, const ItemEffects& effects,
                          const Corners& corners)
{
    if (!bitmap.isNull()) {
        DrawPlaced(painter, Apply(bitmap, effects), corners);
    }
}

void CEffectPainter::DrawPlaced(QPainter& painter, const QImage& picture, const Corners& corners)
{
    if (picture.isNull()) {
        return;
    }
    const qreal width = picture.width();
    const qreal height = picture.height();
    const QPointF across = corners[1] - corners[0];
    const QPointF down = corners[2] - corners[0];
    const QTransform place(across.x() / width, across.y() / width, down.x() / height,
                           down.y() / height, corners[0].x(), corners[0].y());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setTransform(place, true);
    painter.drawImage(QPointF(0, 0), picture);
    painter.restore();
}
