#include "CImageToolBar.h"

#include "CImageToolPanel.h"
#include "CItemsPanel.h"

CImageToolBar::CImageToolBar(CMessageReceiver* mainWindow, QWidget* parent)
    : CPanelBar(QStringLiteral("이미지 편집툴"), QSize(220, 600), mainWindow, parent),
      panel_(new CImageToolPanel(mainWindow))
{
    setObjectName(QStringLiteral("ImageToolBar"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    SetPanel(panel_, panel_, panel_->ItemsPanel());
}

void CImageToolBar::SetNewsAddress(std::function<QUrl()> source)
{
    panel_->SetNewsAddress(std::move(source));
}
