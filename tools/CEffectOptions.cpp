#include "CEffectOptions.h"

#include "CToolError.h"
#include "ItemEffects.h"

#include <QStringList>

#include <cmath>

namespace {

int TakeInteger(CToolArguments& arguments, const QString& option, int min, int max)
{
    const QString text = arguments.Take("a value after " + option);
    const double value = CToolArguments::ParseNumber(text, option, min, max);
    if (value != std::floor(value)) {
        throw CToolError(QString("%1 needs a whole number, not '%2'").arg(option, text));
    }
    return int(value);
}

float TakeFloat(CToolArguments& arguments, const QString& option, double min, double max)
{
    return float(arguments.TakeNumber(option, min, max));
}

void TakeSharpen(CToolArguments& arguments, ItemEffects& effects)
{
    const QString option = "--sharpen";
    const QString text = arguments.Take("AMOUNT,RADIUS after " + option);
    const QStringList parts = text.split(',');
    if (parts.size() != 2) {
        throw CToolError(QString("%1 needs AMOUNT,RADIUS, not '%2'").arg(option, text));
    }
    effects.sharpenAmount = float(CToolArguments::ParseNumber(parts[0], option + " amount", 0, 4));
    effects.sharpenRadius = float(CToolArguments::ParseNumber(parts[1], option + " radius", 0, 8));
}

} // namespace

bool CEffectOptions::TakeOption(CToolArguments& arguments, ItemEffects& effects)
{
    const QString option = arguments.Peek();
    const auto is = [&](const char* name) {
        if (option != name) {
            return false;
        }
        arguments.Take(option);
        return true;
    };
    if (is("--hue")) {
        effects.hue = TakeInteger(arguments, option, -180, 180);
    } else if (is("--saturation")) {
        effects.saturation = TakeInteger(arguments, option, 0, 300);
    } else if (is("--brightness")) {
        effects.brightness = TakeInteger(arguments, option, -100, 100);
    } else if (is("--contrast")) {
        effects.contrast = TakeFloat(arguments, option, 0.2, 4.0);
    } else if (is("--gamma")) {
        effects.gamma = TakeFloat(arguments, option, 0.2, 4.0);
    } else if (is("--sharpen")) {
        TakeSharpen(arguments, effects);
    } else if (is("--blur")) {
        effects.blurRadius = TakeFloat(arguments, option, 0, 8);
    } else if (is("--greyscale")) {
        effects.greyscale = true;
    } else if (is("--invert")) {
        effects.invert = true;
    } else if (is("--opacity")) {
        effects.opacity = TakeInteger(arguments, option, 0, 100);
    } else {
        return false;
    }
    return true;
}
