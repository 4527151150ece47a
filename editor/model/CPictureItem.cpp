#include "CPictureItem.h"

#include "CEffectPainter.h"

std::unique_ptr<CItem> CPictureItem::Duplicate() const
{
    auto copy = std::make_unique<CPictureItem>(*this);
    copy->bitmap_ = bitmap_.copy();
    copy->drawn_ = QImage();
    return copy;
}

QImage CPictureItem::Drawn() const
{
    if (drawn_.isNull() || drawnFrom_ != bitmap_.cacheKey() || !(drawnEffects_ == Effects())) {
        drawn_ = CEffectPainter::Apply(bitmap_, Effects());
        drawnEffects_ = Effects();
        drawnFrom_ = bitmap_.cacheKey();
    }
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
