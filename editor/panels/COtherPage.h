#pragma once

#include "CAdjustmentPage.h"

class QCheckBox;

// Page 4, "기타": grey-scale and invert, each a check box. Every click asks
// for the picture to be drawn again, with or without a current item.
class COtherPage : public CAdjustmentPage
{
    Q_OBJECT

public:
    explicit COtherPage(CMessageReceiver* mainWindow, QWidget* parent = nullptr);

    QCheckBox* GreyscaleBox() const { return greyscale_; }
    QCheckBox* InvertBox() const { return invert_; }

protected:
    void Reload(const ItemEffects& effects) override;
    void SliderChanged(int, int) override {}

private:
    QCheckBox* AddCheckBox(const QString& caption, const QRect& place, bool ItemEffects::*flag);

    QCheckBox* greyscale_;
    QCheckBox* invert_;
};
