#include "CEditorApp.h"

#include "CItemCanvas.h"
#include "CMainFrame.h"
#include "COMRImageEditorDoc.h"
#include "COMRImageEditorView.h"
#include "CProcesses.h"
#include "CPrompter.h"
#include "CRecoveryFile.h"
#include "CRegistry.h"
#include "CTerminationSignal.h"
#include "CommandIds.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdlib>

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
    settings_.installFolder = ReadSetting("APPS_PATH");
    settings_.installedVersion = ReadSetting("VERSION");

    prompter_ = std::make_unique<CDialogPrompter>();
    document_ = std::make_unique<COMRImageEditorDoc>();
    frame_ = std::make_unique<CMainFrame>(settings_, *prompter_);
    CMainFrame* frame = frame_.get();
    document_->SetRecentListener([frame](const QString& path) { frame->AddRecentFile(path); });
    auto* view = new COMRImageEditorView(*document_, settings_, frame, *prompter_);
    frame_->SetView(view);
    // Shown first, so that the picture is fitted to the window's own size.
    frame_->show();
    frame_->ApplyDefaultBarSizes();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    if (!commandLine.isEmpty()) {
        // The picture reaches the view with its full path; its first save
        // keeps the file as it was under the "_원본" name.
        settings_.commandLinePicture = commandLine;
        frame_->View()->OpenDocument(QFileInfo(commandLine).absoluteFilePath());
        settings_.backupOnSave = true;
    }
    StartRecovery(*view);
    termination_ = std::make_unique<platform::CTerminationSignal>([this] { EndOnRequest(); });

    settings_.infoUrl = ReadSetting("INFO_URL");
    StartUpdater();
    return true;
}

void CEditorApp::StartRecovery(COMRImageEditorView& view)
{
    recovery_ = std::make_unique<CRecoveryFile>(*document_, CItemCanvas::Instance(),
                                                [&view] { return view.File().Path(); });
    if (!recovery_->Acquire() || !recovery_->Exists()) {
        return;
    }
    switch (
        prompter_->Ask(frame_.get(), QStringLiteral("저장하지 않은 작업을 복구하시겠습니까?"))) {
    case CPrompter::kYes:
        // A recovery project that cannot be read was told about and goes.
        if (!view.Files().OpenRecovered(CRecoveryFile::Path())) {
            recovery_->Discard();
        }
        break;
    case CPrompter::kNo:
        recovery_->Discard();
        break;
    default:
        // Asked again at the next start; this editor keeps out of it.
        recovery_->Release();
        break;
    }
}

void CEditorApp::EndOnRequest()
{
    if (recovery_ != nullptr) {
        recovery_->WriteNow();
        recovery_->Release(); // kept for the next start
    }
    ExitInstance();
    // Ended here, so that no dialog open at this moment goes on to act.
    std::_Exit(0);
}

void CEditorApp::ExitInstance()
{
    // A clean exit: the changes were saved or the user dropped them.
    if (recovery_ != nullptr) {
        recovery_->Discard();
    }
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
