#include "CPictureItem.h"

#include "CEffectPainter.h"

std::unique_ptr<CItem> CPictureItem::Duplicate() const
{
    auto copy = std::make_unique<CPictureItem>(*this);
    copy->bitmap_ = bitmap_.copy();
    return copy;
}

void CPictureItem::Draw(QPainter& painter) const
{
    const QPainterPath& outline = Outline();
    if (bitmap_.isNull() || outline.elementCount() < 4) {
        return;
    }
    // Upper-left, upper-right and lower-left corner of the outline.
    CEffectPainter::Draw(painter, bitmap_, Effects(),
                         {QPointF(outline.elementAt(0)), QPointF(outline.elementAt(1)),
                          QPointF(outline.elementAt(3))});
}

bool CPictureItem::HitTest(double x, double y) const
{
    return Outline().contains(QPointF(x / Scale(), y / Scale()));
}
