#include "CUpdater.h"

#include "CDownloadEngine.h"
#include "CFileDigest.h"
#include "CNameDecoder.h"
#include "CPackageUnpacker.h"
#include "CProcesses.h"
#include "CRegistry.h"
#include "CSafePath.h"
#include "CUpdateStaging.h"

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Each path as a name below a folder: empty for an empty path (nothing to
// fetch, as a download to the folder itself never could be written);
// nothing at all when a path is neither UTF-8 nor code page 949 text.
std::optional<std::vector<std::string>> Names(const UpdateInfo& info)
{
    std::vector<std::string> names;
    for (const std::string& path : info.paths) {
        const auto name =
            path.empty() ? std::optional<std::string>("") : CNameDecoder::Decode(path);
        if (!name) {
            return std::nullopt;
        }
        names.push_back(*name);
    }
    return names;
}

// Every path has its hash and stays inside `folder`.
bool PathsFit(const fs::path& folder, const UpdateInfo& info)
{
    const auto names = Names(info);
    if (!names || info.hashes.size() != info.paths.size()) {
        return false;
    }
    for (size_t index = 0; index < names->size(); ++index) {
        if (!(*names)[index].empty() &&
            (info.hashes[index].empty() || !CSafePath::Resolve(folder, (*names)[index]))) {
            return false;
        }
    }
    return true;
}

bool SignedBy(const UpdateArguments& arguments, const UpdateInfo& info, const MinisignKey& key)
{
    try {
        const std::string signature =
            CDownloadEngine::ReadBytes(arguments.infoUrl + ".minisig", CUpdater::kMaxSignatureBytes,
                                       {.totalSeconds = CUpdater::kInfoSeconds});
        return CMinisign::Verify(info.source, signature, key) == SignatureCheck::Valid;
    } catch (const std::exception&) {
        return false;
    }
}

// Downloads one file into `staged`, checks its hash and unpacks it there
// when it is a package. Throws on failure.
void Stage(const std::string& url, const std::string& path, const std::string& hash,
           const fs::path& staged, const CUpdater::Observer& observer)
{
    // No file (an answer without Content-Type) is not the file the hash names.
    if (CDownloadEngine::DownloadToFile(url, staged.string(), observer.amount) !=
            DownloadResult::Written ||
        !CFileDigest::MatchesSha256(staged, hash)) {
        throw std::runtime_error("not the published file: " + url);
    }
    if (CDownloadEngine::IsPackage(staged.string())) {
        observer.status(path + CUpdater::kUnpacking);
        CPackageUnpacker::Unpack(staged.string(), staged.parent_path(), UnopenablePolicy::Fail);
        unlink(staged.c_str());
    }
}

bool StageAll(const UpdateInfo& info, const std::vector<std::string>& names, const fs::path& files,
              const CUpdater::Observer& observer)
{
    const int count = int(info.paths.size());
    for (int index = 0; index < count; ++index) {
        const std::string& path = info.paths[size_t(index)];
        observer.status(path + CUpdater::kDownloading);
        observer.counter(index + 1, count);
        observer.amount(0, 0);
        if (path.empty()) {
            continue;
        }
        const auto staged = CSafePath::Resolve(files, names[size_t(index)]);
        try {
            Stage(info.baseUrl + "/" + path, path, info.hashes[size_t(index)], staged.value(),
                  observer);
        } catch (const std::exception&) {
            return false;
        }
    }
    return true;
}

bool Record(const UpdateInfo& info)
{
    return platform::CRegistry::Write(CUpdater::kSettingsKey, "UPDATE_DATE",
                                      QString::fromStdString(info.updateDate)) &&
           platform::CRegistry::Write(CUpdater::kSettingsKey, "VERSION",
                                      QString::fromStdString(info.remoteVersion));
}

} // namespace

std::optional<UpdateArguments> CUpdater::ParseArguments(const QStringList& arguments)
{
    if (arguments.size() != 4 || arguments[2].isEmpty()) {
        return std::nullopt;
    }
    return UpdateArguments{arguments[0].toStdString(), arguments[1].toStdString(),
                           arguments[2].toStdString(), arguments[3].toStdString()};
}

std::optional<MinisignKey> CUpdater::TrustedKey()
{
    return CMinisign::ParseKey(platform::CRegistry::Read(kSettingsKey, kKeyName).toStdString());
}

bool CUpdater::NeedsUpdate(const UpdateArguments& arguments, UpdateInfo& info)
{
    try {
        info.source = CDownloadEngine::ReadBytes(arguments.infoUrl, CDownloadEngine::kMaxTextBytes,
                                                 {.totalSeconds = kInfoSeconds});
    } catch (const std::exception&) {
        return false;
    }
    return CUpdateInfo::Decide(CDownloadEngine::Lines(info.source), arguments.installedVersion,
                               info);
}

bool CUpdater::CanApply(const UpdateArguments& arguments, const UpdateInfo& info,
                        const MinisignKey& key)
{
    if (!PathsFit(arguments.installFolder, info) || !SignedBy(arguments, info, key)) {
        return false;
    }
    try {
        CUpdateStaging staging(arguments.installFolder);
        return staging.AcceptsRename(arguments.installFolder);
    } catch (const std::exception&) {
        return false;
    }
}

void CUpdater::StopEditor(const UpdateArguments& arguments)
{
    platform::CProcesses::StopProgram(QString::fromStdString(
        (fs::path(arguments.installFolder) / arguments.editorName).string()));
}

bool CUpdater::Run(const UpdateArguments& arguments, const UpdateInfo& info,
                   const Observer& observer)
{
    const auto names = Names(info);
    if (!names || !PathsFit(arguments.installFolder, info)) {
        return false;
    }
    try {
        CUpdateStaging staging(arguments.installFolder);
        const auto stopEditor = [&] {
            observer.status(kStoppingEditor);
            StopEditor(arguments);
        };
        if (!StageAll(info, *names, staging.Files(), observer) || !staging.Commit(stopEditor)) {
            return false;
        }
    } catch (const std::exception&) {
        return false;
    }
    observer.status(kFinished);
    if (!Record(info)) {
        return false;
    }
    const QString folder = QString::fromStdString(arguments.installFolder);
    platform::CProcesses::StartDetached(folder + "/" + QString::fromStdString(arguments.editorName),
                                        {}, folder);
    return true;
}
