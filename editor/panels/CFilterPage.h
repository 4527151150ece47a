#pragma once

#include "CAdjustmentPage.h"

class QComboBox;

// Page 3, "필터": a filter chosen from the list ("예리하게" sharpen or
// "흐리게" blur) with its value (0 … 4) and range (0 … 8) in steps of 0.01.
// Sharpening and blur live in separate fields of the item, so choosing blur
// keeps the sharpening and switching back shows it again.
class CFilterPage : public CAdjustmentPage
{
    Q_OBJECT

public:
    static constexpr int kValueSlider = 1014;
    static constexpr int kRangeSlider = 1017;
    enum Selection : int
    {
        kChoose = 0,
        kSeparator = 1,
        kSharpen = 2,
        kBlur = 3,
    };

    explicit CFilterPage(CMessageReceiver* mainWindow, QWidget* parent = nullptr);

    float Value() const { return value_; }
    float Range() const { return range_; }
    int SelectionIndex() const;
    QComboBox* List() const { return list_; }

protected:
    void Reload(const ItemEffects& effects) override;
    void SliderChanged(int id, int position) override;

private:
    void SelectionChanged();
    void ApplyEnabling();

    QComboBox* list_;
    SliderRow valueRow_;
    SliderRow rangeRow_;
    float value_ = 1.0f;
    float range_ = 1.0f;
};
