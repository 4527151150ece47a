#include "CEditorApp.h"

#include "CMainFrame.h"
#include "CPlaceholderView.h"
#include "CProcesses.h"
#include "CRegistry.h"
#include "CommandIds.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Settings values are read through a buffer of this many bytes; a longer
// value reads as empty, as any failed read does.
constexpr int kValueBuffer = 1024;

QString ReadSetting(const char* name)
{
    return platform::CRegistry::Read(QString::fromLatin1(CEditorApp::kSettingsKey),
                                     QString::fromLatin1(name), kValueBuffer);
}

QString RecentValueName(int slot)
{
    return QStringLiteral("File%1").arg(slot + 1);
}

} // namespace

CEditorApp::CEditorApp(QStringList arguments) : arguments_(std::move(arguments)) {}

CEditorApp::~CEditorApp() = default;

bool CEditorApp::InitInstance()
{
    LoadRecentFiles();
    // The whole command line names the picture, so a path with blanks
    // arrives whole even unquoted.
    const QString commandLine = arguments_.join(QLatin1Char(' ')).trimmed();
    if (!commandLine.isEmpty()) {
        settings_.commandLinePicture = commandLine;
        settings_.backupOnSave = true;
    }
    settings_.installFolder = ReadSetting("APPS_PATH");
    settings_.installedVersion = ReadSetting("VERSION");

    frame_ = std::make_unique<CMainFrame>(settings_);
    CMainFrame* frame = frame_.get();
    frame_->SetView(
        new CPlaceholderView([frame](const QString& path) { frame->AddRecentFile(path); }));
    if (!settings_.commandLinePicture.isEmpty()) {
        // The picture reaches the view with its full path.
        const QString path = QFileInfo(settings_.commandLinePicture).absoluteFilePath();
        frame_->AddRecentFile(path);
        frame_->View()->OpenDocument(path);
    }
    frame_->show();
    frame_->ApplyDefaultBarSizes();

    settings_.infoUrl = ReadSetting("INFO_URL");
    StartUpdater();
    return true;
}

void CEditorApp::ExitInstance()
{
    const QString key = QString::fromLatin1(kRecentFilesKey);
    for (int slot = 0; slot < cmd::kRecentFileCount; ++slot) {
        if (slot < settings_.recentFiles.size()) {
            platform::CRegistry::Write(key, RecentValueName(slot), settings_.recentFiles[slot]);
        } else {
            platform::CRegistry::DeleteValue(key, RecentValueName(slot));
        }
    }
}

void CEditorApp::LoadRecentFiles()
{
    const QString key = QString::fromLatin1(kRecentFilesKey);
    for (int slot = 0; slot < cmd::kRecentFileCount; ++slot) {
        const QString path =
            platform::CRegistry::Read(key, RecentValueName(slot), kValueBuffer).trimmed();
        if (!path.isEmpty()) {
            settings_.recentFiles.append(path);
        }
    }
}

QString CEditorApp::UpdaterProgram(const AppSettings& settings)
{
    const QString name = platform::ExecutableName(QStringLiteral("PixvelUpdate"));
    return settings.installFolder.isEmpty() ? name : QDir(settings.installFolder).filePath(name);
}

QStringList CEditorApp::UpdaterArguments(const AppSettings& settings)
{
    return {settings.installFolder, platform::ExecutableName(QStringLiteral("Pixvel")),
            settings.infoUrl, settings.installedVersion};
}

void CEditorApp::StartUpdater() const
{
    // Whether the updater is there or starts at all does not matter here.
    platform::CProcesses::StartDetached(UpdaterProgram(settings_), UpdaterArguments(settings_),
                                        settings_.installFolder);
}
