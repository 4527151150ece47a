#include "CUpdater.h"

#include "CAtomicFile.h"
#include "CDownloadEngine.h"
#include "CNameDecoder.h"
#include "CPackageUnpacker.h"
#include "CProcesses.h"
#include "CRegistry.h"
#include "CSafePath.h"
#include "CUnpackRefused.h"

#include <QFileInfo>

#include <filesystem>
#include <sys/statvfs.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Where each path goes: empty for an empty path (nothing to fetch, as a
// download to the folder itself never could be written); nothing at all
// when a path leads out of the installation folder or is neither UTF-8 nor
// code page 949 text.
std::optional<std::vector<fs::path>> Targets(const UpdateArguments& arguments,
                                             const UpdateInfo& info)
{
    std::vector<fs::path> targets;
    for (const std::string& path : info.paths) {
        if (path.empty()) {
            targets.emplace_back();
            continue;
        }
        const auto name = CNameDecoder::Decode(path);
        const auto target =
            name ? CSafePath::Resolve(arguments.installFolder, *name) : std::nullopt;
        if (!target) {
            return std::nullopt;
        }
        targets.push_back(*target);
    }
    return targets;
}

// The nearest folder of `path` that exists.
fs::path ExistingFolder(fs::path path)
{
    std::error_code error;
    while (!fs::exists(path, error) && path.has_relative_path()) {
        path = path.parent_path();
    }
    return path;
}

// A folder takes new files when it has a write permission bit (tested
// itself, as root ignores the bits) and the system lets this process write.
bool FolderWritable(const fs::path& folder)
{
    std::error_code error;
    const fs::file_status status = fs::status(folder, error);
    return fs::is_directory(status) &&
           (status.permissions() & (fs::perms::owner_write | fs::perms::group_write |
                                    fs::perms::others_write)) != fs::perms::none &&
           access(folder.c_str(), W_OK | X_OK) == 0;
}

bool TargetWritable(const fs::path& target)
{
    return CAtomicFile::CanReplace(target) && FolderWritable(ExistingFolder(target.parent_path()));
}

// The size the server announces for `url` (0 when it names none); throws
// when the file cannot be fetched.
uint64_t AnnouncedSize(const std::string& url)
{
    CHttpSession session({.totalSeconds = CUpdater::kInfoSeconds});
    int64_t size = 0;
    CDownloadEngine::OpenResource(
        session, url,
        [&size](const ResponseFacts& facts) {
            size = facts.contentLength;
            return false; // the headers are all that is wanted
        },
        [](const char*, size_t) {});
    return uint64_t(size);
}

uint64_t FreeBytes(const fs::path& folder)
{
    struct statvfs info
    {
    };
    return statvfs(folder.c_str(), &info) == 0 ? uint64_t(info.f_bavail) * info.f_frsize : 0;
}

bool Download(const std::string& url, const std::string& path, const fs::path& target,
              const CUpdater::Observer& observer)
{
    const auto unpack = [&](const std::string& package) {
        observer.status(path + CUpdater::kUnpacking);
        CPackageUnpacker::Unpack(package, fs::path(package).parent_path(), UnopenablePolicy::Fail);
    };
    try {
        // A file that cannot be written would leave the old one in place
        // while the new version is recorded, and the update would never be
        // tried again: that counts as a failure.
        return CDownloadEngine::DownloadToFile(url, target.string(), observer.amount, unpack) !=
               DownloadResult::NotWritable;
    } catch (const CUnpackRefused& refusal) {
        observer.status(refusal.what());
        return false;
    } catch (const std::exception&) {
        return false;
    }
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

bool CUpdater::NeedsUpdate(const UpdateArguments& arguments, UpdateInfo& info)
{
    return CUpdateInfo::Decide(
        CDownloadEngine::FetchText(arguments.infoUrl, {.totalSeconds = kInfoSeconds}),
        arguments.installedVersion, info);
}

bool CUpdater::CanApply(const UpdateArguments& arguments, const UpdateInfo& info)
{
    const auto targets = Targets(arguments, info);
    if (!targets) {
        return false;
    }
    uint64_t needed = 0;
    for (size_t index = 0; index < targets->size(); ++index) {
        const fs::path& target = (*targets)[index];
        if (target.empty()) {
            continue;
        }
        if (!TargetWritable(target)) {
            return false;
        }
        try {
            needed += AnnouncedSize(info.baseUrl + "/" + info.paths[index]);
        } catch (const std::exception&) {
            return false;
        }
    }
    return needed <= FreeBytes(ExistingFolder(arguments.installFolder));
}

void CUpdater::StopEditor(const UpdateArguments& arguments)
{
    platform::CProcesses::StopProgram(QString::fromStdString(
        (fs::path(arguments.installFolder) / arguments.editorName).string()));
}

bool CUpdater::Run(const UpdateArguments& arguments, const UpdateInfo& info,
                   const Observer& observer)
{
    const auto targets = Targets(arguments, info);
    if (!targets) {
        return false;
    }
    const int count = int(info.paths.size());
    for (int index = 0; index < count; ++index) {
        const std::string& path = info.paths[size_t(index)];
        observer.status(path + kDownloading);
        observer.counter(index + 1, count);
        observer.amount(0, 0);
        if (!path.empty() &&
            !Download(info.baseUrl + "/" + path, path, (*targets)[size_t(index)], observer)) {
            return false;
        }
    }
    observer.status(kFinished);
    if (!platform::CRegistry::Write(kSettingsKey, "UPDATE_DATE",
                                    QString::fromStdString(info.updateDate)) ||
        !platform::CRegistry::Write(kSettingsKey, "VERSION",
                                    QString::fromStdString(info.remoteVersion))) {
        return false;
    }
    const QString folder = QString::fromStdString(arguments.installFolder);
    platform::CProcesses::StartDetached(folder + "/" + QString::fromStdString(arguments.editorName),
                                        {}, folder);
    return true;
}
