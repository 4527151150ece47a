#pragma once

#include <QLineEdit>

#include <optional>

// A field that accepts digits only, so its number is never negative.
class CNumberEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit CNumberEdit(QWidget* parent = nullptr);

    // The number shown, or nothing when the field is empty.
    std::optional<int> Number() const;
    // Shows a number without counting as typing.
    void SetNumber(int number);
};
