#pragma once

#include "CPanelBar.h"

#include <QUrl>

#include <functional>

class CImageToolPanel;

// The bar of the image tool panel: "이미지 편집툴", 220 × 600, docked at the
// left or the right. It relays the messages the frame sends it to the panel,
// and the view's placements to the panel's items page.
class CImageToolBar : public CPanelBar
{
    Q_OBJECT

public:
    static constexpr int kId = 1000;

    explicit CImageToolBar(CMessageReceiver* mainWindow, QWidget* parent = nullptr);

    CImageToolPanel* ToolPanel() const { return panel_; }
    // Where the news page is (asked at every load).
    void SetNewsAddress(std::function<QUrl()> source);

private:
    CImageToolPanel* panel_;
};
