#include "CUpdateStaging.h"

#include "CFileException.h"
#include "CSafePath.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char* const kLockName = ".pixvel-update.lock";
const char* const kFolderPrefix = ".pixvel-update-";

[[noreturn]] void Fail(const std::string& what, const fs::path& path)
{
    throw CFileException(what + " (" + std::strerror(errno) + ")", path.string());
}

// Staging folders of updaters that ended before they cleaned up; only
// called while the lock is held, so none of them is in use.
void RemoveLeftovers(const fs::path& install)
{
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(install, error)) {
        if (entry.path().filename().string().starts_with(kFolderPrefix) &&
            entry.is_directory(error) && !entry.is_symlink(error)) {
            fs::remove_all(entry.path(), error);
        }
    }
}

// The nearest folder of `path` that exists.
fs::path ExistingFolder(fs::path path)
{
    std::error_code error;
    while (!fs::exists(fs::symlink_status(path, error)) && path.has_relative_path()) {
        path = path.parent_path();
    }
    return path;
}

// A file may be replaced when it is missing, a link (replaced, never
// followed) or a regular file with a write permission bit (a read-only file
// stays, as its attribute asks).
bool Replaceable(const fs::path& target, mode_t& mode)
{
    struct stat info
    {
    };
    if (lstat(target.c_str(), &info) != 0) {
        return errno == ENOENT;
    }
    mode = S_ISREG(info.st_mode) ? info.st_mode & 07777 : 0;
    return S_ISLNK(info.st_mode) || (S_ISREG(info.st_mode) && (info.st_mode & 0222) != 0);
}

// Makes the missing folders above `file`, outermost first; the folders it
// made are added to `made`.
bool MakeFolders(const fs::path& file, std::vector<fs::path>& made)
{
    std::vector<fs::path> missing;
    const fs::path existing = ExistingFolder(file.parent_path());
    for (fs::path folder = file.parent_path(); folder != existing; folder = folder.parent_path()) {
        missing.push_back(folder);
    }
    for (auto folder = missing.rbegin(); folder != missing.rend(); ++folder) {
        if (mkdir(folder->c_str(), 0777) != 0) {
            return false;
        }
        made.push_back(*folder);
    }
    return true;
}

} // namespace

CUpdateStaging::CUpdateStaging(const fs::path& installFolder)
    : install_(installFolder),
      lock_(open((install_ / kLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600))
{
    const fs::path lockPath = install_ / kLockName;
    if (lock_.Get() < 0) {
        Fail("cannot open the update lock", lockPath);
    }
    if (flock(lock_.Get(), LOCK_EX | LOCK_NB) != 0) {
        Fail("another update is under way", lockPath);
    }
    RemoveLeftovers(install_);
    std::string pattern = (install_ / (std::string(kFolderPrefix) + "XXXXXX")).string();
    const bool made = mkdtemp(pattern.data()) != nullptr;
    folder_ = made ? fs::path(pattern) : fs::path();
    files_ = folder_ / "files";
    if (!made || mkdir(files_.c_str(), 0700) != 0 || mkdir((folder_ / "kept").c_str(), 0700) != 0) {
        const int cause = errno;
        if (made) {
            std::error_code ignored;
            fs::remove_all(folder_, ignored);
        }
        errno = cause;
        Fail("cannot make the staging folder", pattern);
    }
}

CUpdateStaging::~CUpdateStaging()
{
    std::error_code error;
    fs::remove_all(folder_, error);
    // lock_ then releases the update lock, once the folder is gone.
}

bool CUpdateStaging::AcceptsRename(const fs::path& folder)
{
    const auto known = renameChecked_.find(folder);
    if (known != renameChecked_.end()) {
        return known->second;
    }
    // A folder without any write bit is read-only, also for root.
    struct stat info
    {
    };
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || (info.st_mode & 0222) == 0) {
        return renameChecked_[folder] = false;
    }
    const fs::path probe = folder_ / "probe";
    const fs::path there = folder / (folder_.filename().string() + ".probe");
    const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    bool accepted = fd >= 0;
    if (fd >= 0) {
        close(fd);
    }
    accepted = accepted && rename(probe.c_str(), there.c_str()) == 0;
    if (accepted && rename(there.c_str(), probe.c_str()) != 0) {
        unlink(there.c_str());
        accepted = false;
    }
    unlink(probe.c_str());
    renameChecked_[folder] = accepted;
    return accepted;
}

std::optional<std::vector<CUpdateStaging::Move>> CUpdateStaging::PlanMoves()
{
    std::vector<Move> moves;
    std::error_code error;
    for (auto entry = fs::recursive_directory_iterator(files_, error);
         !error && entry != fs::recursive_directory_iterator(); entry.increment(error)) {
        if (entry->is_directory(error) && !entry->is_symlink(error)) {
            continue;
        }
        const std::string relative = entry->path().lexically_relative(files_).string();
        const auto target = CSafePath::Resolve(install_, relative);
        mode_t mode = 0;
        if (!target || !Replaceable(*target, mode) ||
            !AcceptsRename(ExistingFolder(target->parent_path()))) {
            return std::nullopt;
        }
        // A replaced program keeps its permissions (the execute bits).
        if (mode != 0 && !entry->is_symlink(error) && chmod(entry->path().c_str(), mode) != 0) {
            return std::nullopt;
        }
        moves.push_back({entry->path(), *target, std::nullopt});
    }
    if (error) {
        return std::nullopt;
    }
    // In path order, so that a run is repeatable.
    std::ranges::sort(moves, {}, &Move::target);
    return moves;
}

bool CUpdateStaging::KeepReplacedFiles(std::vector<Move>& moves)
{
    for (size_t index = 0; index < moves.size(); ++index) {
        const fs::path kept = folder_ / "kept" / std::to_string(index);
        // A second name for the old file: the rename over it then leaves
        // it here, ready to be put back.
        if (link(moves[index].target.c_str(), kept.c_str()) == 0) {
            moves[index].kept = kept;
        } else if (errno != ENOENT) {
            return false;
        }
    }
    return true;
}

bool CUpdateStaging::MoveAll(const std::vector<Move>& moves)
{
    std::vector<fs::path> madeFolders;
    size_t moved = 0;
    for (; moved < moves.size(); ++moved) {
        const Move& move = moves[moved];
        if (!MakeFolders(move.target, madeFolders) ||
            rename(move.staged.c_str(), move.target.c_str()) != 0) {
            break;
        }
    }
    if (moved == moves.size()) {
        return true;
    }
    while (moved-- > 0) {
        const Move& move = moves[moved];
        if (move.kept) {
            rename(move.kept->c_str(), move.target.c_str());
        } else {
            unlink(move.target.c_str());
        }
    }
    for (auto folder = madeFolders.rbegin(); folder != madeFolders.rend(); ++folder) {
        rmdir(folder->c_str());
    }
    return false;
}

bool CUpdateStaging::Commit(const std::function<void()>& beforeMoving)
{
    auto moves = PlanMoves();
    if (!moves) {
        return false;
    }
    if (!KeepReplacedFiles(*moves)) {
        return false;
    }
    beforeMoving();
    return MoveAll(*moves);
}
