#pragma once

#include "AppSettings.h"

#include <QStringList>

#include <memory>

class CMainFrame;
class COMRImageEditorDoc;
class CPrompter;
class CRecoveryFile;
class COMRImageEditorView;
namespace platform {
class CTerminationSignal;
}

// The editor's start-up: settings from the current user's key, the recent-file
// list, the main frame with its view, the picture named on the command line,
// and the updater started in the background on every start.
class CEditorApp
{
public:
    static constexpr const char* kSettingsKey = "HKEY_CURRENT_USER\\Software\\Pixvel";
    static constexpr const char* kRecentFilesKey =
        "HKEY_CURRENT_USER\\Software\\Local AppWizard-Generated "
        "Applications\\Pixvel\\Recent File List";

    // `arguments` is the command line without the program name.
    explicit CEditorApp(QStringList arguments);
    ~CEditorApp();

    // Runs the start-up; false ends the program.
    bool InitInstance();
    // Keeps the recent-file list for the next start.
    void ExitInstance();

    CMainFrame* MainFrame() const { return frame_.get(); }
    const AppSettings& Settings() const { return settings_; }

    // The updater's program and its four arguments: installation folder,
    // the editor's program file name, update information address and
    // installed version.
    static QString UpdaterProgram(const AppSettings& settings);
    static QStringList UpdaterArguments(const AppSettings& settings);

private:
    void LoadRecentFiles();
    void StartUpdater() const;
    // Offers the work a killed editor left behind, then keeps this one's safe.
    void StartRecovery(COMRImageEditorView& view);
    // Asked to end (SIGTERM, as the updater does before it replaces the
    // program): the unsaved work goes to the recovery file at once, for the
    // next start to offer, and the program ends without asking anything.
    void EndOnRequest();

    QStringList arguments_;
    AppSettings settings_;
    std::unique_ptr<CPrompter> prompter_;
    std::unique_ptr<COMRImageEditorDoc> document_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<CRecoveryFile> recovery_;
    std::unique_ptr<platform::CTerminationSignal> termination_;
};
