#include "RichTextFormat.h"

#include "ColourRef.h"

#include <QBrush>

#include <cmath>

namespace RichTextFormat {

namespace {

constexpr uint32_t kStyles = CharFormat::kBold | CharFormat::kItalic | CharFormat::kUnderline;
constexpr uint32_t kAllFields =
    kStyles | CharFormat::kFaceMask | CharFormat::kColourMask | CharFormat::kSizeMask;

} // namespace

QTextCharFormat ToTextFormat(const CharFormat& format, uint32_t mask)
{
    QTextCharFormat text;
    if (mask & CharFormat::kFaceMask) {
        text.setFontFamilies({format.faceName});
    }
    if (mask & CharFormat::kSizeMask) {
        text.setFontPointSize(format.height / 20.0);
    }
    if (mask & CharFormat::kColourMask) {
        text.setForeground(ToQColor(format.colour));
    }
    if (mask & CharFormat::kBold) {
        text.setFontWeight(format.effects & CharFormat::kBold ? QFont::Bold : QFont::Normal);
    }
    if (mask & CharFormat::kItalic) {
        text.setFontItalic(format.effects & CharFormat::kItalic);
    }
    if (mask & CharFormat::kUnderline) {
        text.setFontUnderline(format.effects & CharFormat::kUnderline);
    }
    return text;
}

CharFormat FromTextFormat(const QTextCharFormat& text)
{
    CharFormat format;
    format.mask = kAllFields;
    const QStringList families = text.fontFamilies().toStringList();
    if (!families.isEmpty()) {
        format.faceName = families.front();
    }
    if (text.hasProperty(QTextFormat::FontPointSize)) {
        format.height = int(std::lround(text.fontPointSize() * 20));
    }
    if (text.hasProperty(QTextFormat::ForegroundBrush)) {
        const QColor colour = text.foreground().color();
        format.colour = MakeColourRef(colour.red(), colour.green(), colour.blue());
    }
    format.effects = (text.fontWeight() >= QFont::Bold ? CharFormat::kBold : 0) |
                     (text.fontItalic() ? CharFormat::kItalic : 0) |
                     (text.fontUnderline() ? CharFormat::kUnderline : 0);
    return format;
}

} // namespace RichTextFormat
