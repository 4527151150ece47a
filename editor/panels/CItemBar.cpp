#include "CItemBar.h"

#include "CItemLibraryPanel.h"
#include "CRegistry.h"

#include <QDir>

namespace {

// Settings values of the installation, read through the same 1024-byte
// buffer as the editor's other start-up values.
QString Setting(const char* name)
{
    return platform::CRegistry::Read(QStringLiteral("HKEY_CURRENT_USER\\Software\\Pixvel"),
                                     QString::fromLatin1(name), 1024);
}

// A relative download folder lies in the installation's own items folder or
// beside it; an absolute one is the user's own items folder.
QString OwnItemsFolder()
{
    const QString folder = Setting("DOWNLOAD_FOLDER");
    return QDir::isAbsolutePath(folder) ? folder : QString();
}

} // namespace

CItemBar::CItemBar(CMessageReceiver* mainWindow, QWidget* parent)
    : CItemBar(mainWindow, Setting("APPS_PATH"), parent, OwnItemsFolder())
{}

CItemBar::CItemBar(CMessageReceiver* mainWindow, const QString& installFolder, QWidget* parent,
                   const QString& ownItemsFolder)
    : CPanelBar(QStringLiteral("아이템"), QSize(800, 130), mainWindow, parent),
      panel_(new CItemLibraryPanel(mainWindow, installFolder, ownItemsFolder))
{
    setObjectName(QStringLiteral("ItemBar"));
    setAllowedAreas(Qt::BottomDockWidgetArea);
    SetPanel(panel_, panel_, panel_);
}
