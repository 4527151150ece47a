#include "CTextItem.h"

#include "CTextDecorationPainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextBoundaryFinder>

#include <cmath>

namespace {

// Three elements of a path that span it: the first, the one farthest from
// it, and the one farthest from the line through those two.
std::array<int, 3> SpanningElements(const QPainterPath& path)
{
    std::array<int, 3> chosen{0, 0, 0};
    const QPointF first = path.elementAt(0);
    double best = -1;
    for (int i = 1; i < path.elementCount(); ++i) {
        const QPointF d = QPointF(path.elementAt(i)) - first;
        if (const double length = QPointF::dotProduct(d, d); length > best) {
            best = length;
            chosen[1] = i;
        }
    }
    const QPointF axis = QPointF(path.elementAt(chosen[1])) - first;
    best = -1;
    for (int i = 1; i < path.elementCount(); ++i) {
        const QPointF d = QPointF(path.elementAt(i)) - first;
        if (const double area = std::abs(axis.x() * d.y() - axis.y() * d.x()); area > best) {
            best = area;
            chosen[2] = i;
        }
    }
    return chosen;
}

// The first `count` characters as a reader counts them (a syllable built
// from several code points, or a surrogate pair, is one).
QString FirstCharacters(const QString& text, int count)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (int taken = 0; taken < count && end >= 0 && end < text.size(); ++taken) {
        end = finder.toNextBoundary();
    }
    return end < 0 ? text : text.left(end);
}

} // namespace

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
    QPointF baseline(0, metrics.ascent());
    double width = 0;
    for (const QString& line : text_.split(QLatin1Char('\n'))) {
        path.addText(baseline, font, line);
        width = std::max(width, metrics.horizontalAdvance(line));
        baseline.ry() += metrics.lineSpacing();
    }
    layout_ = path;
    layoutBox_ = QRectF(0, 0, width, baseline.y() - metrics.lineSpacing() + metrics.descent());
    SetOutline(path.translated(topLeft));
}

QTransform CTextItem::Placement() const
{
    const QPainterPath& outline = Outline();
    const QPointF move = outline.boundingRect().topLeft() - layout_.boundingRect().topLeft();
    const QTransform moved = QTransform::fromTranslate(move.x(), move.y());
    if (outline.elementCount() != layout_.elementCount() || layout_.elementCount() < 3) {
        return moved;
    }
    const std::array<int, 3> at = SpanningElements(layout_);
    const auto pick = [&at](const QPainterPath& path) {
        return std::array<QPointF, 3>{path.elementAt(at[0]), path.elementAt(at[1]),
                                      path.elementAt(at[2])};
    };
    return AffineThrough(pick(layout_), pick(outline)).value_or(moved);
}

QString CTextItem::Name() const
{
    for (const QString& line : text_.split(QLatin1Char('\n'))) {
        if (const QString trimmed = line.trimmed(); !trimmed.isEmpty()) {
            return FirstCharacters(trimmed, kNameLength);
        }
    }
    return QString();
}

void CTextItem::Draw(QPainter& painter) const
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (decoration_.Any()) {
        CTextDecorationPainter::Draw(painter, *this);
    } else {
        painter.fillPath(Outline(), FillColour());
    }
    painter.restore();
}

QRectF CTextItem::DrawnBounds() const
{
    const QRectF glyphs = CItem::DrawnBounds();
    if (!decoration_.Any()) {
        return glyphs;
    }
    return glyphs.united(Placement().mapRect(CTextDecorationPainter::Reach(*this)));
}

bool CTextItem::HitTest(double x, double y) const
{
    const QRectF bounds = Outline().boundingRect();
    const double px = x / Scale();
    const double py = y / Scale();
    return px >= bounds.left() && py >= bounds.top() && px < bounds.right() && py < bounds.bottom();
}
