#include "CContrastGammaPage.h"

#include "ItemEffects.h"

CContrastGammaPage::CContrastGammaPage(CMessageReceiver* mainWindow, QWidget* parent)
    : CAdjustmentPage(2, QStringLiteral("대비/감마"), 130, mainWindow, parent),
      contrastRow_(
          AddSliderRow(QStringLiteral("대비"), kContrastSlider, 40, 40, 20, 400, 0.01f, 1.0f)),
      gammaRow_(AddSliderRow(QStringLiteral("감마"), kGammaSlider, 84, 40, 20, 400, 0.01f, 1.0f))
{}

void CContrastGammaPage::Reload(const ItemEffects& effects)
{
    contrast_ = effects.contrast;
    gamma_ = effects.gamma;
    ShowValue(contrastRow_, contrast_);
    ShowValue(gammaRow_, gamma_);
}

void CContrastGammaPage::SliderChanged(int id, int position)
{
    if (id == kContrastSlider) {
        contrast_ = TakePosition(contrastRow_, position);
    } else {
        gamma_ = TakePosition(gammaRow_, position);
    }
    if (ItemEffects* effects = CurrentEffects()) {
        effects->contrast = contrast_;
        effects->gamma = gamma_;
    }
}
