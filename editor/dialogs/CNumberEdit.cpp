#include "CNumberEdit.h"

#include <QRegularExpressionValidator>

namespace {

// Nine digits always fit an int.
constexpr int kMaxDigits = 9;

} // namespace

CNumberEdit::CNumberEdit(QWidget* parent) : QLineEdit(parent)
{
    setMaxLength(kMaxDigits);
    setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
}

std::optional<int> CNumberEdit::Number() const
{
    bool ok = false;
    const int number = text().toInt(&ok);
    if (!ok) {
        return std::nullopt;
    }
    return number;
}

void CNumberEdit::SetNumber(int number)
{
    setText(QString::number(number));
}
