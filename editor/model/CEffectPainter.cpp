#include "CEffectPainter.h"

#include "CColourMatrix.h"
#include "CFilterEngine.h"
#include "CImageAttributes.h"
#include "ItemEffects.h"

#include <QPainter>
#include <QTransform>

namespace {

// Sharpen then blur; the source itself when no filter is on, or when one of
// them yields no picture.
QImage Filtered(const QImage& bitmap, const ItemEffects& effects)
{
    QImage result = bitmap;
    if (effects.SharpenActive()) {
        result = CFilterEngine::UnsharpMask(result, effects.sharpenRadius, effects.sharpenAmount);
        if (result.isNull()) {
            return bitmap;
        }
    }
    if (effects.BlurActive()) {
        result = CFilterEngine::GaussianBlur(result, effects.blurRadius);
        if (result.isNull()) {
            return bitmap;
        }
    }
    return result;
}

} // namespace

QImage CEffectPainter::Apply(const QImage& bitmap, const ItemEffects& effects)
{
    QImage filtered = Filtered(bitmap, effects);
    const CImageAttributes attributes(CColourMatrix::FromEffects(effects), effects.gamma);
    if (attributes.IsIdentity()) {
        return filtered;
    }
    // A filtered copy is ours alone and takes the colours in place. When
    // memory runs out the item is drawn as it is.
    QImage coloured = attributes.Apply(std::move(filtered));
    return coloured.isNull() ? bitmap : coloured;
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
