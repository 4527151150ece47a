#include "CTextStyleDialog.h"

#include "BuddyLabel.h"
#include "CColourButton.h"
#include "OkCancelButtons.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace {

int PercentOf(int alpha)
{
    return int(std::lround(alpha * 100.0 / 255));
}

int AlphaOf(int percent)
{
    return int(std::lround(percent * 255.0 / 100));
}

} // namespace

QString CTextStyleDialog::Caption(Part part)
{
    switch (part) {
    case kOutline:
        return QStringLiteral("외곽선");
    case kShadow:
        return QStringLiteral("그림자");
    default:
        return QStringLiteral("배경");
    }
}

CTextStyleDialog::CTextStyleDialog(Part part, const TextDecoration& decoration, QWidget* parent)
    : QDialog(parent), part_(part), decoration_(decoration)
{
    setWindowTitle(Caption(part));
    on_ = new QCheckBox(QStringLiteral("사용"), this);
    on_->setObjectName("on");
    // Opening a part's settings is asking for it: "사용" starts ticked, and
    // only unticking it (or Cancel) leaves the part off.
    on_->setChecked(true);
    colour_ = new CColourButton(this);
    colour_->setObjectName("colour");
    colour_->setFixedSize(30, 20);

    auto* form = new QFormLayout;
    form->addRow(on_);
    form->addRow(BuddyLabel(QStringLiteral("색:"), colour_), colour_);
    const TextOutline& outline = decoration.outline;
    const TextShadow& shadow = decoration.shadow;
    const TextBox& box = decoration.box;
    if (part == kOutline) {
        colour_->SetColour(outline.colour);
        AddField(form, QStringLiteral("두께(픽셀):"), 0, TextOutline::kMaxWidth, outline.width);
    } else if (part == kShadow) {
        colour_->SetColour(shadow.colour);
        const int reach = TextShadow::kMaxOffset;
        AddField(form, QStringLiteral("가로 거리(픽셀):"), -reach, reach, shadow.dx);
        AddField(form, QStringLiteral("세로 거리(픽셀):"), -reach, reach, shadow.dy);
        AddField(form, QStringLiteral("흐림(픽셀):"), 0, TextShadow::kMaxSoftness, shadow.softness);
    } else {
        colour_->SetColour(box.colour);
        shownOpacity_ = PercentOf(box.alpha);
        AddField(form, QStringLiteral("불투명도(%):"), 0, 100, shownOpacity_);
        AddField(form, QStringLiteral("여백(픽셀):"), 0, TextBox::kMaxPadding, box.padding);
        AddField(form, QStringLiteral("모서리 반경(픽셀):"), 0, TextBox::kMaxRadius, box.radius);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(MakeOkCancelButtons(this));
    on_->setFocus();
}

QSpinBox* CTextStyleDialog::AddField(QFormLayout* form, const QString& caption, int min, int max,
                                     int value)
{
    auto* field = new QSpinBox(this);
    field->setRange(min, max);
    field->setValue(value);
    field->setObjectName(QString::number(fields_.size()));
    form->addRow(BuddyLabel(caption, field), field);
    fields_.push_back(field);
    return field;
}

TextDecoration CTextStyleDialog::Decoration() const
{
    TextDecoration decoration = decoration_;
    const bool on = on_->isChecked();
    const uint32_t colour = colour_->Colour();
    if (part_ == kOutline) {
        decoration.outline = {on, colour, fields_[0]->value()};
    } else if (part_ == kShadow) {
        decoration.shadow = {on, colour, fields_[0]->value(), fields_[1]->value(),
                             fields_[2]->value()};
    } else {
        TextBox& box = decoration.box;
        // The opacity is kept to the byte unless it was changed here.
        const int alpha =
            fields_[0]->value() == shownOpacity_ ? box.alpha : AlphaOf(fields_[0]->value());
        box = {on, colour, alpha, fields_[1]->value(), fields_[2]->value()};
    }
    return decoration;
}
