#pragma once

#include "CAdjustmentPage.h"

// Page 1, "색상/채도/밝기": hue (−180 … 180 degrees), saturation (0 … 300 %)
// and brightness (−100 … 100 %), all three written to the item together.
class CHueSaturationPage : public CAdjustmentPage
{
    Q_OBJECT

public:
    static constexpr int kHueSlider = 1004;
    static constexpr int kSaturationSlider = 1006;
    static constexpr int kBrightnessSlider = 1008;

    explicit CHueSaturationPage(CMessageReceiver* mainWindow, QWidget* parent = nullptr);

    int Hue() const { return hue_; }
    int Saturation() const { return saturation_; }
    int Brightness() const { return brightness_; }

protected:
    void Reload(const ItemEffects& effects) override;
    void SliderChanged(int id, int position) override;

private:
    SliderRow hueRow_;
    SliderRow saturationRow_;
    SliderRow brightnessRow_;
    int hue_ = 0;
    int saturation_ = 100;
    int brightness_ = 0;
};
