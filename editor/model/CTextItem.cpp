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
    return FontFor(format_);
}

QFont CTextItem::FontFor(const CharFormat& format)
{
    QFont font(format.faceName);
    font.setPixelSize(std::max(1, int(std::lround(format.height * 0.05))));
    font.setBold(format.effects & CharFormat::kBold);
    font.setItalic(format.effects & CharFormat::kItalic);
    font.setUnderline(format.effects & CharFormat::kUnderline);
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
    const QFontMetricsF metrics(font);
    // The path takes the baseline; the layout box starts one ascent above it.
    // Each line of the text goes one line spacing below the one before.
    QPainterPath path;
    QPointF baseline = topLeft + QPointF(0, metrics.ascent());
    for (const QString& line : text_.split(QLatin1Char('\n'))) {
        path.addText(baseline, font, line);
        baseline.ry() += metrics.lineSpacing();
    }
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
