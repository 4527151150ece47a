#include "CPictureItem.h"

#include "CEffectPainter.h"

std::unique_ptr<CItem> CPictureItem::Duplicate() const
{
    auto copy = std::make_unique<CPictureItem>(*this);
    copy->bitmap_ = bitmap_.copy();
    copy->filtered_ = QImage();
    copy->drawn_ = QImage();
    return copy;
}

QImage CPictureItem::Drawn() const
{
    const ItemEffects& effects = Effects();
    const bool sameBitmap = drawnFrom_ == bitmap_.cacheKey();
    if (!drawn_.isNull() && sameBitmap && drawnEffects_ == effects) {
        return drawn_;
    }
    if (filtered_.isNull() || !sameBitmap ||
        !CEffectPainter::SameFilters(filteredEffects_, effects)) {
        filtered_ = QImage(); // frees the old one before the new one is made
        filtered_ = CEffectPainter::Filter(bitmap_, effects);
        filteredEffects_ = effects;
    }
    drawn_ = CEffectPainter::Colour(filtered_, effects, std::move(drawn_));
    drawnEffects_ = effects;
    drawnFrom_ = bitmap_.cacheKey();
    return drawn_;
}

void CPictureItem::Draw(QPainter& painter) const
{
    const QPainterPath& outline = Outline();
    if (bitmap_.isNull() || outline.elementCount() < 4) {
        return;
    }
    // Upper-left, upper-right and lower-left corner of the outline.
    CEffectPainter::DrawPlaced(painter, Drawn(),
                               {QPointF(outline.elementAt(0)), QPointF(outline.elementAt(1)),
                                QPointF(outline.elementAt(3))});
}

bool CPictureItem::HitTest(double x, double y) const
{
    return Outline().contains(QPointF(x / Scale(), y / Scale()));
}
