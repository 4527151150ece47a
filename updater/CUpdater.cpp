#include "CUpdater.h"

#include "CDownloadEngine.h"
#include "CPackageUnpacker.h"
#include "CProcesses.h"
#include "CRegistry.h"
#include "CSafePath.h"

#include <QFileInfo>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// Where each path goes: empty for an empty path (nothing to fetch, as a
// download to the folder itself never could be written); nothing at all
// when a path leads out of the installation folder.
std::optional<std::vector<fs::path>> Targets(const UpdateArguments& arguments,
                                             const UpdateInfo& info)
{
    std::vector<fs::path> targets;
    for (const std::string& path : info.paths) {
        if (path.empty()) {
            targets.emplace_back();
            continue;
        }
        const auto target = CSafePath::Resolve(arguments.installFolder, path);
        if (!target) {
            return std::nullopt;
        }
        targets.push_back(*target);
    }
    return targets;
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
    return CUpdateInfo::Decide(CDownloadEngine::FetchText(arguments.infoUrl),
                               arguments.installedVersion, info);
}

void CUpdater::StopEditor(const std::string& editorName)
{
    const QString wanted = QString::fromStdString(editorName);
    for (const platform::ProcessEntry& process : platform::CProcesses::Snapshot()) {
        if (process.executableName.compare(wanted, Qt::CaseInsensitive) == 0) {
            platform::CProcesses::Terminate(process.pid);
        }
    }
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
