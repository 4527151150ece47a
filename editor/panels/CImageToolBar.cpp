#include "CImageToolBar.h"

#include "CPlaceholderPanel.h"

CImageToolBar::CImageToolBar(CMessageReceiver* mainWindow, QWidget* parent)
    : CPanelBar(QStringLiteral("이미지 편집툴"), QSize(220, 600), mainWindow, parent)
{
    setObjectName(QStringLiteral("ImageToolBar"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    SetPanel(new CPlaceholderPanel(windowTitle()), nullptr);
}
