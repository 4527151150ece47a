#include "CLinkedSize.h"

#include "CNumberEdit.h"

#include <QCheckBox>

#include <algorithm>

namespace {

// Largest number a size field can show.
constexpr qint64 kLargestField = 999'999'999;

} // namespace

CLinkedSize::CLinkedSize(CNumberEdit* width, CNumberEdit* height, QCheckBox* linked,
                         QObject* parent)
    : QObject(parent), width_(width), height_(height), linked_(linked)
{
    connect(width_, &QLineEdit::textEdited, this, &CLinkedSize::WidthTyped);
    connect(height_, &QLineEdit::textEdited, this, &CLinkedSize::HeightTyped);
    connect(linked_, &QCheckBox::clicked, this, &CLinkedSize::WidthTyped);
}

int CLinkedSize::Scaled(qint64 value, qint64 numerator, qint64 denominator)
{
    return int(std::min((2 * value * numerator + denominator) / (2 * denominator), kLargestField));
}

bool CLinkedSize::Linked() const
{
    return linked_->isChecked() && !source_.isEmpty();
}

void CLinkedSize::WidthTyped()
{
    if (Linked()) {
        height_->SetNumber(Scaled(width_->Number().value_or(0), source_.height(), source_.width()));
    }
}

void CLinkedSize::HeightTyped()
{
    if (Linked()) {
        width_->SetNumber(Scaled(height_->Number().value_or(0), source_.width(), source_.height()));
    }
}
