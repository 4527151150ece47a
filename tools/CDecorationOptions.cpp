#include "CDecorationOptions.h"

#include "CToolError.h"
#include "TextDecoration.h"

#include <QRegularExpression>
#include <QStringList>

#include <cmath>

namespace {

// "#RRGGBB" (and "#RRGGBBAA" when `alpha` is given) as 0x00BBGGRR, the
// alpha apart.
uint32_t ParseColour(const QString& text, const QString& option, int* alpha = nullptr)
{
    static const QRegularExpression form(QStringLiteral("^#[0-9A-Fa-f]{6}([0-9A-Fa-f]{2})?$"));
    const bool ok = form.match(text).hasMatch() && (alpha != nullptr || text.size() == 7);
    const uint32_t value = text.mid(1).toUInt(nullptr, 16);
    if (!ok) {
        throw CToolError(
            QString("%1 needs a colour %2, not '%3'")
                .arg(option, alpha != nullptr ? "#RRGGBB or #RRGGBBAA" : "#RRGGBB", text));
    }
    const uint32_t rgb = text.size() == 9 ? value >> 8 : value;
    if (alpha != nullptr && text.size() == 9) {
        *alpha = int(value & 0xFF);
    }
    return (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
}

int Whole(const QString& text, const QString& what, int min, int max)
{
    const double value = CToolArguments::ParseNumber(text, what, min, max);
    if (value != std::floor(value)) {
        throw CToolError(QString("%1 needs a whole number, not '%2'").arg(what, text));
    }
    return int(value);
}

// The comma-separated fields of an option's value, between `least` and
// `most` of them.
QStringList Fields(const QString& text, const QString& option, const char* form, int least,
                   int most)
{
    const QStringList fields = text.split(',');
    if (fields.size() < least || fields.size() > most) {
        throw CToolError(QString("%1 needs %2, not '%3'").arg(option, form, text));
    }
    return fields;
}

void TakeOutline(const QString& value, TextOutline& outline)
{
    const QString option = "--outline";
    const QStringList fields = Fields(value, option, "#RRGGBB,WIDTH", 2, 2);
    outline.colour = ParseColour(fields[0], option);
    outline.width = Whole(fields[1], option + " width", 0, TextOutline::kMaxWidth);
    outline.on = true;
}

void TakeShadow(const QString& value, TextShadow& shadow)
{
    const QString option = "--shadow";
    const QStringList fields = Fields(value, option, "#RRGGBB,DX,DY[,SOFT]", 3, 4);
    const int reach = TextShadow::kMaxOffset;
    shadow.colour = ParseColour(fields[0], option);
    shadow.dx = Whole(fields[1], option + " DX", -reach, reach);
    shadow.dy = Whole(fields[2], option + " DY", -reach, reach);
    if (fields.size() > 3) {
        shadow.softness = Whole(fields[3], option + " softness", 0, TextShadow::kMaxSoftness);
    }
    shadow.on = true;
}

void TakeBox(const QString& value, TextBox& box)
{
    const QString option = "--box";
    const QStringList fields = Fields(value, option, "#RRGGBB[AA][,PADDING[,RADIUS]]", 1, 3);
    box.alpha = 255;
    box.colour = ParseColour(fields[0], option, &box.alpha);
    if (fields.size() > 1) {
        box.padding = Whole(fields[1], option + " padding", 0, TextBox::kMaxPadding);
    }
    if (fields.size() > 2) {
        box.radius = Whole(fields[2], option + " radius", 0, TextBox::kMaxRadius);
    }
    box.on = true;
}

} // namespace

bool CDecorationOptions::IsOption(const QString& word)
{
    return word == "--outline" || word == "--shadow" || word == "--box";
}

void CDecorationOptions::TakeOption(CToolArguments& arguments, TextDecoration& decoration)
{
    const QString option = arguments.Take("an option");
    const QString value = arguments.Take("a value after " + option);
    if (option == "--outline") {
        TakeOutline(value, decoration.outline);
    } else if (option == "--shadow") {
        TakeShadow(value, decoration.shadow);
    } else {
        TakeBox(value, decoration.box);
    }
}
