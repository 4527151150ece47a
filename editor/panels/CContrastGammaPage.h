#pragma once

#include "CAdjustmentPage.h"

// Page 2, "대비/감마": contrast and gamma, 0.2 … 4.0 in steps of 0.01, both
// written to the item together.
class CContrastGammaPage : public CAdjustmentPage
{
    Q_OBJECT

public:
    static constexpr int kContrastSlider = 1010;
    static constexpr int kGammaSlider = 1012;

    explicit CContrastGammaPage(CMessageReceiver* mainWindow, QWidget* parent = nullptr);

    float Contrast() const { return contrast_; }
    float Gamma() const { return gamma_; }

protected:
    void Reload(const ItemEffects& effects) override;
    void SliderChanged(int id, int position) override;

private:
    SliderRow contrastRow_;
    SliderRow gammaRow_;
    float contrast_ = 1.0f;
    float gamma_ = 1.0f;
};
