#pragma once

#include "CUpdateInfo.h"

#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// The four arguments the editor starts the updater with.
struct UpdateArguments
{
    std::string installFolder;
    std::string editorName; // the editor's program file name
    std::string infoUrl;
    std::string installedVersion;
};

// The update flow without its window: reading the information file,
// stopping the editor, the transfers and the finishing steps. The texts are
// the status lines the window shows.
class CUpdater
{
public:
    static constexpr const char* kPreparing = "업데이트를 준비합니다.";
    static constexpr const char* kStoppingEditor = "Application을 종료합니다.";
    static constexpr const char* kStarting = "업데이트를 시작합니다.";
    static constexpr const char* kDownloading = " 파일을 내려받는중입니다.";
    static constexpr const char* kUnpacking = " 파일의 압축을 풉니다.";
    static constexpr const char* kFinished = "업데이트가 종료되었습니다.";
    static constexpr const char* kFailed = "업데이트를 실패하였습니다.";
    // Where the updater records the installed version.
    static constexpr const char* kSettingsKey = "HKEY_CURRENT_USER\\Software\\pixvel";
    // The information file is fetched before the window shows: it may take
    // this long in all.
    static constexpr long kInfoSeconds = 30;

    // What the transfers report, on the worker thread.
    struct Observer
    {
        std::function<void(const std::string& status)> status;
        std::function<void(int number, int count)> counter;
        std::function<void(uint64_t received, int64_t total)> amount;
    };

    // Exactly four arguments with a non-empty address; else no update runs.
    static std::optional<UpdateArguments> ParseArguments(const QStringList& arguments);
    // Fetches the information file and decides; no update on any failure.
    static bool NeedsUpdate(const UpdateArguments& arguments, UpdateInfo& info);
    // Whether the update can be applied, checked before anything is
    // stopped: every path stays inside the installation folder and is UTF-8
    // or code page 949 text, every file there can be replaced and every
    // folder written to, each file answers with a success status, and the
    // disk has room for the sizes the answers announce.
    static bool CanApply(const UpdateArguments& arguments, const UpdateInfo& info);
    // Ends every process of the user that runs the installation folder's
    // editor program (that very file, not a namesake elsewhere) and waits
    // until each is gone.
    static void StopEditor(const UpdateArguments& arguments);
    // Downloads every path (unpacking packages into their folder), then
    // records the version and restarts the editor. False on any failure,
    // with the registry untouched and the editor not started; a path that
    // leads out of the installation folder fails before anything is fetched.
    static bool Run(const UpdateArguments& arguments, const UpdateInfo& info,
                    const Observer& observer);
};
