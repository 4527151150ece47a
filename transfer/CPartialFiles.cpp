#include "CPartialFiles.h"

#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kPrefix = ".pixvel-";
constexpr const char* kSuffix = ".part";
constexpr int kSlots = 64;

enum SlotState : int
{
    kFree,
    kBusy, // being filled or removed
    kHeld,
};

// A fixed table, so that a signal handler can walk it without allocating or
// locking: the states are lock-free atomics.
struct Slot
{
    std::atomic<int> state{kFree};
    char path[PATH_MAX];
};

Slot slots[kSlots];

extern "C" void RemoveAndEnd(int signal)
{
    CPartialFiles::RemoveAll();
    // The handler was reset to the default on entry: the signal, raised
    // again, ends the process once this handler returns.
    raise(signal);
}

} // namespace

int CPartialFiles::Remember(const std::string& path) noexcept
{
    if (path.size() >= PATH_MAX) {
        return -1;
    }
    for (int index = 0; index < kSlots; ++index) {
        int expected = kFree;
        if (slots[index].state.compare_exchange_strong(expected, kBusy)) {
            std::memcpy(slots[index].path, path.c_str(), path.size() + 1);
            slots[index].state.store(kHeld);
            return index;
        }
    }
    return -1;
}

void CPartialFiles::Forget(int slot) noexcept
{
    if (slot < 0 || slot >= kSlots) {
        return;
    }
    int expected = kHeld;
    slots[slot].state.compare_exchange_strong(expected, kFree);
}

void CPartialFiles::RemoveAll() noexcept
{
    for (Slot& slot : slots) {
        int expected = kHeld;
        if (slot.state.compare_exchange_strong(expected, kBusy)) {
            unlink(slot.path);
            slot.state.store(kFree);
        }
    }
}

void CPartialFiles::InstallSignalCleanup()
{
    struct sigaction action
    {
    };
    action.sa_handler = &RemoveAndEnd;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT}) {
        sigaction(signal, &action, nullptr);
    }
}

bool CPartialFiles::IsPartialName(std::string_view name)
{
    return name.size() > std::strlen(kPrefix) + std::strlen(kSuffix) && name.starts_with(kPrefix) &&
           name.ends_with(kSuffix);
}

int CPartialFiles::RemoveStale(const std::filesystem::path& folder,
                               std::chrono::seconds age) noexcept
{
    DIR* listing = opendir(folder.c_str());
    if (listing == nullptr) {
        return 0;
    }
    const int descriptor = dirfd(listing);
    const std::time_t before = std::time(nullptr) - age.count();
    int removed = 0;
    while (const dirent* entry = readdir(listing)) {
        struct stat info
        {
        };
        if (IsPartialName(entry->d_name) &&
            fstatat(descriptor, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_mtime < before &&
            unlinkat(descriptor, entry->d_name, 0) == 0) {
            ++removed;
        }
    }
    closedir(listing);
    return removed;
}
