#pragma once

#include "CMinisign.h"
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

// The update flow without its window: reading the information file and
// checking its signature, the transfers into a staging folder, stopping the
// editor, moving the files into place and the finishing steps. The texts are
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
    // The trusted public key: a minisign key line in the same key (key
    // names compare without regard to case).
    static constexpr const char* kKeyName = "UPDATE_KEY";
    static constexpr const char* kNoKey =
        "PixvelUpdate: updates need a key: UPDATE_KEY under HKEY_CURRENT_USER\\Software\\Pixvel "
        "holds no minisign public key, so no update is looked for";
    // The information file and its signature are fetched before the window
    // shows: each may take this long in all.
    static constexpr long kInfoSeconds = 30;
    static constexpr size_t kMaxSignatureBytes = 64 * 1024;

    // What the transfers report, on the worker thread.
    struct Observer
    {
        std::function<void(const std::string& status)> status;
        std::function<void(int number, int count)> counter;
        std::function<void(uint64_t received, int64_t total)> amount;
    };

    // Exactly four arguments with a non-empty address; else no update runs.
    static std::optional<UpdateArguments> ParseArguments(const QStringList& arguments);
    // The key updates must be signed with (UPDATE_KEY); nothing when none
    // is set or the value is no key line.
    static std::optional<MinisignKey> TrustedKey();
    // Fetches the information file and decides; no update on any failure.
    static bool NeedsUpdate(const UpdateArguments& arguments, UpdateInfo& info);
    // Whether the update may be applied, checked before anything is stopped
    // or fetched: the information file as served carries a valid signature
    // by `key` (fetched from its address + ".minisig"), every path has its
    // SHA-256, stays inside the installation folder and is UTF-8 or code
    // page 949 text, and the installation folder takes new files and renames.
    static bool CanApply(const UpdateArguments& arguments, const UpdateInfo& info,
                         const MinisignKey& key);
    // Asks every process of the user that runs the installation folder's
    // editor program (that very file, not a namesake elsewhere) to end
    // (SIGTERM: the editor keeps its unsaved work for the next start), and
    // kills those still running after 10 s.
    static void StopEditor(const UpdateArguments& arguments);
    // Downloads every path into a staging folder in the installation folder,
    // checks each file's SHA-256 and unpacks packages there; then stops the
    // editor, moves every file into place by rename, records the version and
    // restarts the editor. False on any failure, with the registry
    // untouched and the editor not started; a failure before the files move
    // changes nothing in the installation and stops nothing.
    static bool Run(const UpdateArguments& arguments, const UpdateInfo& info,
                    const Observer& observer);
};
