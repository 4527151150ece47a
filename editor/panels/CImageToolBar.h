#pragma once

#include "CPanelBar.h"

// The bar of the image tool panel: "이미지 편집툴", 220 × 600, docked at the
// left or the right.
class CImageToolBar : public CPanelBar
{
    Q_OBJECT

public:
    static constexpr int kId = 1000;

    explicit CImageToolBar(CMessageReceiver* mainWindow, QWidget* parent = nullptr);
};
