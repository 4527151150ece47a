#pragma once

#include "CPanelBar.h"

// The bar of the item library: "아이템", 800 × 130, docked at the bottom only.
class CItemBar : public CPanelBar
{
    Q_OBJECT

public:
    static constexpr int kId = 144;

    explicit CItemBar(CMessageReceiver* mainWindow, QWidget* parent = nullptr);
};
