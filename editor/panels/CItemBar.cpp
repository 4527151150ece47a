#include "CItemBar.h"

#include "CPlaceholderPanel.h"

CItemBar::CItemBar(CMessageReceiver* mainWindow, QWidget* parent)
    : CPanelBar(QStringLiteral("아이템"), QSize(800, 130), mainWindow, parent)
{
    setObjectName(QStringLiteral("ItemBar"));
    setAllowedAreas(Qt::BottomDockWidgetArea);
    SetPanel(new CPlaceholderPanel(windowTitle()), nullptr);
}
