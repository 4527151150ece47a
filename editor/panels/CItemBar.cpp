#include "CItemBar.h"

#include "CItemLibraryPanel.h"
#include "CRegistry.h"

namespace {

QString InstallFolder()
{
    // The settings value of the installation, read through the same
    // 1024-byte buffer as the editor's other start-up values.
    return platform::CRegistry::Read(QStringLiteral("HKEY_CURRENT_USER\\Software\\Pixvel"),
                                     QStringLiteral("APPS_PATH"), 1024);
}

} // namespace

CItemBar::CItemBar(CMessageReceiver* mainWindow, QWidget* parent)
    : CItemBar(mainWindow, InstallFolder(), parent)
{}

CItemBar::CItemBar(CMessageReceiver* mainWindow, const QString& installFolder, QWidget* parent)
    : CPanelBar(QStringLiteral("아이템"), QSize(800, 130), mainWindow, parent),
      panel_(new CItemLibraryPanel(mainWindow, installFolder))
{
    setObjectName(QStringLiteral("ItemBar"));
    setAllowedAreas(Qt::BottomDockWidgetArea);
    SetPanel(panel_, panel_, panel_);
}
