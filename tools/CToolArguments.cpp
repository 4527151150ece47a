#include "CToolArguments.h"

#include "CToolError.h"

QString CToolArguments::Take(const QString& what)
{
    if (AtEnd()) {
        throw CToolError(QString("missing %1").arg(what));
    }
    return words_[next_++];
}

double CToolArguments::TakeNumber(const QString& option, double min, double max)
{
    return ParseNumber(Take("a value after " + option), option, min, max);
}

void CToolArguments::ExpectEnd() const
{
    if (!AtEnd()) {
        throw CToolError(QString("unexpected argument '%1'").arg(words_[next_]));
    }
}

double CToolArguments::ParseNumber(const QString& text, const QString& what, double min, double max)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok) {
        throw CToolError(QString("%1 needs a number, not '%2'").arg(what, text));
    }
    if (!(value >= min && value <= max)) { // NaN fails too
        throw CToolError(
            QString("%1 must lie between %2 and %3, not %4").arg(what).arg(min).arg(max).arg(text));
    }
    return value;
}
