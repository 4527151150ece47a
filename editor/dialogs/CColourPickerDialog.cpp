#include "CColourPickerDialog.h"

#include "CColourSpectrum.h"
#include "CHoneycomb.h"
#include "CLuminanceBar.h"
#include "CNumberEdit.h"
#include "ColourText.h"
#include "OkCancelButtons.h"
#include "Refusal.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kFieldMax = 255;
constexpr int kFieldWidth = 40;
constexpr int kSpinWidth = 14;
constexpr int kHexWidth = 70;

// The working colour above the caller's colour, each half framed in black.
class CColourSwatch : public QWidget
{
public:
    CColourSwatch(const CColourValue& working, ColourRef current, QWidget* parent)
        : QWidget(parent), working_(working), current_(current)
    {
        setFixedSize(72, 60);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QRect top(0, 0, width() - 1, height() / 2);
        const QRect bottom(0, height() / 2, width() - 1, height() - height() / 2 - 1);
        painter.setPen(Qt::black);
        painter.setBrush(ToQColor(working_.Colour()));
        painter.drawRect(top);
        painter.setBrush(ToQColor(current_));
        painter.drawRect(bottom);
    }

private:
    const CColourValue& working_;
    ColourRef current_;
};

QToolButton* MakeArrow(Qt::ArrowType arrow, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedWidth(kSpinWidth);
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
    return button;
}

} // namespace

CColourPickerDialog::CColourPickerDialog(ColourRef current, QWidget* parent)
    : QDialog(parent), current_(current), working_(current)
{
    setWindowTitle(QStringLiteral("색 선택"));

    pages_ = new QTabWidget(this);
    pages_->addTab(MakeStandardPage(), QStringLiteral("표준"));
    pages_->addTab(MakeCustomPage(), QStringLiteral("사용자 정의"));
    pages_->setCurrentIndex(StandardPage);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(pages_);
    layout->addWidget(MakeSwatchColumn());
    layout->setSizeConstraint(QLayout::SetFixedSize);

    honeycomb_->Select(current);
    Refresh();
    opened_ = true;
}

QWidget* CColourPickerDialog::MakeStandardPage()
{
    auto* page = new QWidget;
    honeycomb_ = new CHoneycomb(page);
    auto* layout = new QVBoxLayout(page);
    layout->addStretch();
    layout->addWidget(honeycomb_, 0, Qt::AlignCenter);
    layout->addStretch();
    connect(honeycomb_, &CHoneycomb::ColourPicked, this, [this](ColourRef colour) {
        working_.SetColour(colour);
        Refresh();
    });
    return page;
}

QWidget* CColourPickerDialog::MakeCustomPage()
{
    auto* page = new QWidget;
    spectrum_ = new CColourSpectrum(page);
    luminanceBar_ = new CLuminanceBar(page);
    connect(spectrum_, &CColourSpectrum::HueSaturationChanged, this,
            [this](float hue, float saturation) {
                working_.SetHue(hue);
                working_.SetSaturation(saturation);
                Refresh();
            });
    connect(luminanceBar_, &CLuminanceBar::LuminanceChanged, this, [this] {
        working_.SetLuminance(luminanceBar_->Luminance());
        Refresh();
    });

    auto* pictures = new QHBoxLayout;
    pictures->addWidget(spectrum_, 0, Qt::AlignVCenter);
    pictures->addWidget(luminanceBar_);

    auto* fields = new QGridLayout;
    fields->addWidget(MakeFieldRow(Field::Hue, QStringLiteral("색상(&U):")), 0, 0);
    fields->addWidget(MakeFieldRow(Field::Saturation, QStringLiteral("채도(&S):")), 1, 0);
    fields->addWidget(MakeFieldRow(Field::Luminance, QStringLiteral("명도(&L):")), 2, 0);
    fields->addWidget(MakeFieldRow(Field::Red, QStringLiteral("빨강(&R):")), 0, 1);
    fields->addWidget(MakeFieldRow(Field::Green, QStringLiteral("녹색(&G):")), 1, 1);
    fields->addWidget(MakeFieldRow(Field::Blue, QStringLiteral("파랑(&B):")), 2, 1);

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(pictures);
    layout->addLayout(fields);
    layout->addWidget(MakeHexRow());
    return page;
}

// The colour as "#RRGGBB": a full colour typed here becomes the working
// colour; leaving the field shows the working colour again.
QWidget* CColourPickerDialog::MakeHexRow()
{
    auto* row = new QWidget;
    hexEdit_ = new QLineEdit(row);
    hexEdit_->setObjectName(QStringLiteral("hex"));
    hexEdit_->setAccessibleName(QStringLiteral("16진수"));
    hexEdit_->setFixedWidth(kHexWidth);
    hexEdit_->setMaxLength(7);
    hexEdit_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("#?[0-9A-Fa-f]{0,6}")), hexEdit_));
    connect(hexEdit_, &QLineEdit::textEdited, this, &CColourPickerDialog::HexTyped);
    connect(hexEdit_, &QLineEdit::editingFinished, this, [this] { Refresh(); });

    auto* text = new QLabel(QStringLiteral("16진수(&X):"), row);
    text->setBuddy(hexEdit_);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text);
    layout->addWidget(hexEdit_);
    layout->addStretch();
    return row;
}

// A label, its field and the field's spin buttons.
QWidget* CColourPickerDialog::MakeFieldRow(Field field, const QString& label)
{
    auto* row = new QWidget;
    auto* edit = new CNumberEdit(row);
    edit->setFixedWidth(kFieldWidth);
    edit->setMaxLength(3);
    fields_[std::size_t(field)] = edit;
    connect(edit, &QLineEdit::textEdited, this, [this, field] { FieldTyped(field); });

    auto* text = new QLabel(label, row);
    text->setBuddy(edit);
    auto* up = MakeArrow(Qt::UpArrow, row);
    auto* down = MakeArrow(Qt::DownArrow, row);
    connect(up, &QToolButton::clicked, this, [this, field] { Step(field, 1); });
    connect(down, &QToolButton::clicked, this, [this, field] { Step(field, -1); });

    auto* arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    arrows->addWidget(up);
    arrows->addWidget(down);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(text);
    layout->addStretch();
    layout->addSpacing(4);
    layout->addWidget(edit);
    layout->addLayout(arrows);
    return row;
}

QWidget* CColourPickerDialog::MakeSwatchColumn()
{
    auto* column = new QWidget;
    swatch_ = new CColourSwatch(working_, current_, column);
    QDialogButtonBox* buttons = MakeOkCancelButtons(this, Qt::Vertical);

    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buttons);
    layout->addStretch();
    layout->addWidget(new QLabel(QStringLiteral("새로 만들기"), column), 0, Qt::AlignHCenter);
    layout->addWidget(swatch_, 0, Qt::AlignHCenter);
    layout->addWidget(new QLabel(QStringLiteral("현재 색"), column), 0, Qt::AlignHCenter);
    return column;
}

int CColourPickerDialog::FieldValue(Field field) const
{
    switch (field) {
    case Field::Hue:
        return working_.HueField();
    case Field::Saturation:
        return working_.SaturationField();
    case Field::Luminance:
        return working_.LuminanceField();
    case Field::Red:
        return working_.Red();
    case Field::Green:
        return working_.Green();
    case Field::Blue:
        return working_.Blue();
    }
    return 0;
}

void CColourPickerDialog::ApplyField(Field field, int value)
{
    switch (field) {
    case Field::Hue:
        working_.SetHue(float(value) * 360 / kFieldMax);
        break;
    case Field::Saturation:
        working_.SetSaturation(float(value) / kFieldMax);
        break;
    case Field::Luminance:
        working_.SetLuminance(float(value) / kFieldMax);
        break;
    case Field::Red:
        working_.SetRed(value);
        break;
    case Field::Green:
        working_.SetGreen(value);
        break;
    case Field::Blue:
        working_.SetBlue(value);
        break;
    }
}

void CColourPickerDialog::FieldTyped(Field field)
{
    if (!opened_) {
        return;
    }
    CNumberEdit* edit = FieldEdit(field);
    int value = edit->Number().value_or(0);
    if (value > kFieldMax) {
        ShowRefusal(this, QStringLiteral("0 부터 255 사이의 양의 정수를 입력하십시오"));
        value = kFieldMax;
        edit->SetNumber(value);
    }
    ApplyField(field, value);
    Refresh(edit);
}

void CColourPickerDialog::HexTyped()
{
    if (const std::optional<ColourRef> colour = ParseColourHex(hexEdit_->text())) {
        working_.SetColour(*colour);
        Refresh(hexEdit_);
    }
}

void CColourPickerDialog::Step(Field field, int delta)
{
    CNumberEdit* edit = FieldEdit(field);
    edit->SetNumber(std::clamp(edit->Number().value_or(0) + delta, 0, kFieldMax));
    FieldTyped(field);
}

void CColourPickerDialog::Refresh(const QWidget* typing)
{
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (fields_[i] != typing) {
            fields_[i]->SetNumber(FieldValue(Field(i)));
        }
    }
    if (hexEdit_ != typing) {
        hexEdit_->setText(ColourHexText(working_.Colour()));
    }
    swatch_->update();
    luminanceBar_->SetColour(working_.Hue(), working_.Saturation(), working_.Luminance());
    spectrum_->SetHueSaturation(working_.Hue(), working_.Saturation());
}
