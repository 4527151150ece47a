#include "CFilterPage.h"

#include "CValueSlider.h"
#include "ItemEffects.h"

#include <QComboBox>
#include <QLineEdit>

CFilterPage::CFilterPage(CMessageReceiver* mainWindow, QWidget* parent)
    : CAdjustmentPage(3, QStringLiteral("필터"), 155, mainWindow, parent),
      list_(new QComboBox(this)),
      valueRow_(AddSliderRow(QStringLiteral("값"), kValueSlider, 67, 30, 0, 400, 0.01f, 1.0f)),
      rangeRow_(AddSliderRow(QStringLiteral("범위"), kRangeSlider, 111, 30, 0, 800, 0.01f, 1.0f))
{
    list_->addItems({QStringLiteral("필터선택"), QString(40, QLatin1Char('-')),
                     QStringLiteral("예리하게"), QStringLiteral("흐리게")});
    Place(list_, QRect(10, 35, 173, 20), QStringLiteral("필터"));
    connect(list_, &QComboBox::currentIndexChanged, this, &CFilterPage::SelectionChanged);
    ApplyEnabling();
    Refresh();
}

int CFilterPage::SelectionIndex() const
{
    return list_->currentIndex();
}

void CFilterPage::SelectionChanged()
{
    ApplyEnabling();
    Refresh();
}

void CFilterPage::ApplyEnabling()
{
    const int selection = SelectionIndex();
    const bool value = selection == kSharpen;
    const bool range = selection == kSharpen || selection == kBlur;
    valueRow_.slider->setEnabled(value);
    valueRow_.field->setEnabled(value);
    rangeRow_.slider->setEnabled(range);
    rangeRow_.field->setEnabled(range);
}

void CFilterPage::Reload(const ItemEffects& effects)
{
    if (SelectionIndex() == kBlur) {
        range_ = effects.blurRadius;
    } else {
        value_ = effects.sharpenAmount;
        range_ = effects.sharpenRadius;
    }
    ShowValue(valueRow_, value_);
    ShowValue(rangeRow_, range_);
}

void CFilterPage::SliderChanged(int id, int position)
{
    if (id == kValueSlider) {
        value_ = TakePosition(valueRow_, position);
    } else {
        range_ = TakePosition(rangeRow_, position);
    }
    ItemEffects* effects = CurrentEffects();
    if (effects == nullptr) {
        return;
    }
    if (SelectionIndex() == kSharpen) {
        effects->sharpenAmount = value_;
        effects->sharpenRadius = range_;
    } else if (SelectionIndex() == kBlur) {
        effects->blurRadius = range_;
    }
}
