#include "CAdjustmentPage.h"

#include "CEditingState.h"
#include "CItem.h"
#include "CMessageReceiver.h"
#include "CPageHeaderButton.h"
#include "CValueSlider.h"

#include <QLabel>
#include <QLineEdit>

CAdjustmentPage::CAdjustmentPage(int number, const QString& caption, int expandedHeight,
                                 CMessageReceiver* mainWindow, QWidget* parent)
    : CPanelPage(caption, true, parent), number_(number), expandedHeight_(expandedHeight),
      mainWindow_(mainWindow)
{
    connect(Header(), &QAbstractButton::clicked, this, &CAdjustmentPage::HeaderClicked);
}

void CAdjustmentPage::HeaderClicked()
{
    // Without a picture the page stays collapsed; the panel says why.
    if (!PictureOpen()) {
        Header()->setChecked(false);
    }
    emit PageRequested(number_);
}

void CAdjustmentPage::Refresh()
{
    if (const ItemEffects* effects = CurrentEffects()) {
        Reload(*effects);
    }
}

CAdjustmentPage::SliderRow CAdjustmentPage::AddSliderRow(const QString& caption, int sliderId,
                                                         int labelY, int labelWidth, int minimum,
                                                         int maximum, float step,
                                                         float defaultValue)
{
    SliderRow row;
    row.step = step;
    row.slider = new CValueSlider(sliderId, this);
    row.slider->setObjectName(QString::number(sliderId));
    row.slider->SetRange(minimum, maximum);
    row.slider->SetStep(step);
    row.slider->SetMarker(defaultValue);
    row.field = new QLineEdit(this);
    row.field->setReadOnly(true);
    row.field->setFrame(false);
    row.field->setAlignment(Qt::AlignRight);
    row.field->setTextMargins(0, 0, 0, 0);
    auto* label = new QLabel(caption, this);
    label->setBuddy(row.slider);
    Place(label, QRect(10, labelY, labelWidth, 12), caption);
    Place(row.slider, QRect(5, labelY + 15, 142, 19), caption);
    Place(row.field, QRect(147, labelY + 13, 30, 12), caption);
    ShowValue(row, defaultValue);
    connect(row.slider, &CValueSlider::Moved, this, [this](int id, int position) {
        SliderChanged(id, position);
        Send(msg::kEffectsPreview);
    });
    connect(row.slider, &CValueSlider::Set, this, [this](int id, int position) {
        SliderChanged(id, position);
        SendEffectsChanged(id);
    });
    return row;
}

void CAdjustmentPage::ShowValue(const SliderRow& row, double value)
{
    row.slider->SetPosition(CValueSlider::PositionOf(value, row.step));
    // Integers on the integer sliders, else the shortest float text ("1.15").
    row.field->setText(row.step == 1.0f ? QString::number(qRound(value))
                                        : QString::number(float(value), 'g', 6));
}

float CAdjustmentPage::TakePosition(const SliderRow& row, int position)
{
    const float value = float(position * double(row.step));
    ShowValue(row, value);
    return value;
}

ItemEffects* CAdjustmentPage::CurrentEffects()
{
    CItem* item = CEditingState::Instance().currentItem;
    return item != nullptr ? &item->Effects() : nullptr;
}

bool CAdjustmentPage::PictureOpen()
{
    return CEditingState::Instance().mode != CEditingState::kNoPicture;
}

void CAdjustmentPage::SendEffectsChanged(int slider) const
{
    Send(msg::kEffectsChanged, slider);
}

void CAdjustmentPage::Send(unsigned id, int slider) const
{
    if (mainWindow_ != nullptr) {
        mainWindow_->Receive(msg::Make(id, slider));
    }
}
