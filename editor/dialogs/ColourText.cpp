#include "ColourText.h"

#include <algorithm>

namespace {

bool IsHexDigit(QChar c)
{
    const char16_t lower = c.toLower().unicode();
    return (lower >= u'0' && lower <= u'9') || (lower >= u'a' && lower <= u'f');
}

} // namespace

QString ColourHexText(ColourRef colour)
{
    return QStringLiteral("#%1%2%3")
        .arg(RedOf(colour), 2, 16, QLatin1Char('0'))
        .arg(GreenOf(colour), 2, 16, QLatin1Char('0'))
        .arg(BlueOf(colour), 2, 16, QLatin1Char('0'))
        .toUpper();
}

std::optional<ColourRef> ParseColourHex(QStringView text)
{
    text = text.trimmed();
    if (text.startsWith(QLatin1Char('#'))) {
        text = text.mid(1);
    }
    if (text.size() != 6 || !std::all_of(text.begin(), text.end(), IsHexDigit)) {
        return std::nullopt;
    }
    return FromRgbHex(text.toUInt(nullptr, 16));
}
