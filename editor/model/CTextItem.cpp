#include "CTextItem.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

std::unique_ptr<CItem> CTextItem::Duplicate() const
{
    return std::make_unique<CTextItem>(*this);
}

QFont CTextItem::Font() const
{
    QFont font(format_.faceName);
    font.setPixelSize(std::max(1, int(std::lround(format_.height * 0.05))));
    font.setBold(format_.effects & CharFormat::kBold);
    font.setItalic(format_.effects & CharFormat::kItalic);
    font.setUnderline(format_.effects & CharFormat::kUnderline);
    return font;
}

QColor CTextItem::FillColour() const
{
    const uint32_t c = format_.colour;
    const int alpha = std::clamp(int(Effects().opacity * 255 * 0.01), 0, 255);
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF), alpha);
}

void CTextItem::MakeOutline(const QPointF& origin, bool keepPlace)
{
    const QPointF topLeft = keepPlace ? Outline().boundingRect().topLeft() : origin;
    const QFont font = Font();
    // The path takes the baseline; the layout box starts one ascent above it.
    QPainterPath path;
    path.addText(topLeft + QPointF(0, QFontMetricsF(font).ascent()), font, text_);
    SetOutline(path);
}

void CTextItem::Draw(QPainter& painter) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(Outline(), FillColour());
    painter.restore();
}

bool CTextItem::HitTest(double x, double y) const
{
    const QRectF bounds = Outline().boundingRect();
    const double px = x / Scale();
    const double py = y / Scale();
    return px >= bounds.left() && py >= bounds.top() && px < bounds.right() && py < bounds.bottom();
}
