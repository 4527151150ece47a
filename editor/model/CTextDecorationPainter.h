#pragma once

#include "TextDecoration.h"

#include <QPainterPath>
#include <QRectF>

class CTextItem;
class QImage;
class QPainter;

// Draws a decorated text item: from the bottom up its box, its shadow, its
// outline and the glyphs. The decoration is drawn in the text's own layout
// and carried by the item's placement, so it turns, mirrors and scales with
// the text. An item that is partly see-through is drawn whole on a layer
// first, so its parts never show through one another.
class CTextDecorationPainter
{
public:
    static void Draw(QPainter& painter, const CTextItem& item);
    // Everything the decorated item covers, in its layout's coordinates.
    static QRectF Reach(const CTextItem& item);

    // The box round a layout box, grown by the padding, corners rounded.
    static QPainterPath BoxShape(const QRectF& layoutBox, const TextBox& box);
    // Blurs an 8-bit alpha mask in place with three box passes each way,
    // close to a Gaussian of the given radius (sigma, pixels).
    static void BlurMask(QImage& mask, double sigma);
};
