#include "CEditorApp.h"

#include "CMainFrame.h"
#include "CPlaceholderView.h"
#include "CommandIds.h"
#include "SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {

// The program file name of the editor as the updater stops and restarts it.
constexpr const char* kProgramFileName = "Pixvel";
constexpr const char* kUpdaterFileName = "PixvelUpdate";

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
    const QString key = QString::fromLatin1(kSettingsKey);
    settings_.installFolder = settings::Read(key, QStringLiteral("APPS_PATH"));
    settings_.installedVersion = settings::Read(key, QStringLiteral("VERSION"));

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

    settings_.infoUrl = settings::Read(key, QStringLiteral("INFO_URL"));
    StartUpdater();
    return true;
}

void CEditorApp::ExitInstance()
{
    const QString key = QString::fromLatin1(kRecentFilesKey);
    for (int slot = 0; slot < cmd::kRecentFileCount; ++slot) {
        settings::Write(key, RecentValueName(slot), settings_.recentFiles.value(slot));
    }
}

void CEditorApp::LoadRecentFiles()
{
    const QString key = QString::fromLatin1(kRecentFilesKey);
    for (int slot = 0; slot < cmd::kRecentFileCount; ++slot) {
        const QString path = settings::Read(key, RecentValueName(slot)).trimmed();
        if (!path.isEmpty()) {
            settings_.recentFiles.append(path);
        }
    }
}

QString CEditorApp::UpdaterProgram(const AppSettings& settings)
{
    const QString name = QString::fromLatin1(kUpdaterFileName);
    return settings.installFolder.isEmpty() ? name : QDir(settings.installFolder).filePath(name);
}

QStringList CEditorApp::UpdaterArguments(const AppSettings& settings)
{
    return {settings.installFolder, QString::fromLatin1(kProgramFileName), settings.infoUrl,
            settings.installedVersion};
}

void CEditorApp::StartUpdater() const
{
    // Whether the updater is there or starts at all does not matter here.
    QProcess::startDetached(UpdaterProgram(settings_), UpdaterArguments(settings_),
                            settings_.installFolder);
}
