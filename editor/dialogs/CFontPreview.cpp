#include "CFontPreview.h"

#include "ColourRef.h"
#include "ContrastingBackground.h"

#include <QPainter>

const QString CFontPreview::kSample = QStringLiteral("가나다ABCabc123");

CFontPreview::CFontPreview(QWidget* parent) : QWidget(parent)
{
    setObjectName("preview");
    setAccessibleName(QStringLiteral("미리보기"));
    setAccessibleDescription(kSample);
}

void CFontPreview::SetFormat(const CharFormat& format)
{
    format_ = format;
    update();
}

void CFontPreview::SetDecoration(const TextDecoration& decoration)
{
    decoration_ = decoration;
    update();
}

// The sample as a decorated text item, its layout box centred.
void CFontPreview::DrawDecorated(QPainter& painter) const
{
    CTextItem sample;
    sample.SetText(kSample);
    sample.SetFormat(format_);
    sample.SetDecoration(decoration_);
    sample.MakeOutline(QPointF(0, 0));
    const QPointF centre = QRectF(rect()).center() - sample.LayoutBox().center();
    sample.MakeOutline(centre);
    sample.Draw(painter);
}

void CFontPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor colour = ToQColor(format_.colour);
    painter.fillRect(rect(), ContrastingBackground(colour, palette().button().color()));
    if (decoration_.Any()) {
        DrawDecorated(painter);
        return;
    }
    // The same font the text item is drawn with: pixel height twips ÷ 20.
    painter.setFont(CTextItem::FontFor(format_));
    painter.setPen(colour);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, kSample);
}
