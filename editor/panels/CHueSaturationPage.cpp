#include "CHueSaturationPage.h"

#include "ItemEffects.h"

CHueSaturationPage::CHueSaturationPage(CMessageReceiver* mainWindow, QWidget* parent)
    : CAdjustmentPage(1, QStringLiteral("색상/채도/밝기"), 175, mainWindow, parent),
      hueRow_(AddSliderRow(QStringLiteral("색상"), kHueSlider, 40, 40, -180, 180, 1.0f, 0)),
      saturationRow_(
          AddSliderRow(QStringLiteral("채도"), kSaturationSlider, 84, 40, 0, 300, 1.0f, 100)),
      brightnessRow_(
          AddSliderRow(QStringLiteral("밝기"), kBrightnessSlider, 128, 40, -100, 100, 1.0f, 0))
{}

void CHueSaturationPage::Reload(const ItemEffects& effects)
{
    hue_ = effects.hue;
    saturation_ = effects.saturation;
    brightness_ = effects.brightness;
    ShowValue(hueRow_, hue_);
    ShowValue(saturationRow_, saturation_);
    ShowValue(brightnessRow_, brightness_);
}

void CHueSaturationPage::SliderChanged(int id, int position)
{
    if (id == kHueSlider) {
        hue_ = int(TakePosition(hueRow_, position));
    } else if (id == kSaturationSlider) {
        saturation_ = int(TakePosition(saturationRow_, position));
    } else {
        brightness_ = int(TakePosition(brightnessRow_, position));
    }
    if (ItemEffects* effects = CurrentEffects()) {
        effects->hue = hue_;
        effects->saturation = saturation_;
        effects->brightness = brightness_;
    }
}
