#include "CAtomicFile.h"

#include "CFileException.h"
#include "CPartialFiles.h"
#include "CSafePath.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;

namespace {

// A name for the temporary file, unique within the process; O_EXCL catches
// a clash with another process.
std::string TemporaryName()
{
    static std::atomic<unsigned> counter{0};
    static const pid_t process = getpid();
    return ".pixvel-" + std::to_string(process) + "-" + std::to_string(counter++) + ".part";
}

// An existing target counts as writable when it is a regular file that has
// a write permission bit and opens for writing (root ignores the bits, so
// they are tested themselves). A missing target is writable.
bool TargetWritable(const fs::path& target, mode_t& mode)
{
    struct stat info
    {
    };
    if (lstat(target.c_str(), &info) != 0) {
        return errno == ENOENT;
    }
    if (S_ISLNK(info.st_mode)) {
        return true; // replaced by the rename, never written through
    }
    if (!S_ISREG(info.st_mode) || (info.st_mode & 0222) == 0) {
        return false;
    }
    const int probe = open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (probe < 0) {
        return false;
    }
    close(probe);
    mode = info.st_mode & 0777;
    return true;
}

} // namespace

CAtomicFile::~CAtomicFile()
{
    Discard();
}

bool CAtomicFile::Open(const fs::path& target)
{
    Discard();
    mode_t keepMode = 0;
    if (!TargetWritable(target, keepMode)) {
        return false;
    }
    const fs::path folder = CSafePath::ParentFolder(target);
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temporary_ = folder / TemporaryName();
        // Remembered before it is made: a termination signal between making
        // the file and remembering it would leave it behind. The name holds
        // this process's id, so no other program's file goes by it.
        partialSlot_ = CPartialFiles::Remember(temporary_);
        fd_ = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        const int error = errno;
        if (fd_ < 0) {
            CPartialFiles::Forget(std::exchange(partialSlot_, -1));
        }
        if (fd_ < 0 && error != EEXIST) {
            break;
        }
    }
    if (fd_ < 0) {
        temporary_.clear();
        return false;
    }
    if (keepMode != 0 && fchmod(fd_, keepMode) != 0) {
        Discard();
        return false;
    }
    target_ = target;
    return true;
}

void CAtomicFile::Write(const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = write(fd_, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            throw CFileException(std::string("cannot write (") + std::strerror(errno) + ")",
                                 target_.string());
        }
        data += written;
        size -= size_t(written);
    }
}

void CAtomicFile::Commit()
{
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0 || rename(temporary_.c_str(), target_.c_str()) != 0) {
        const std::string reason = std::strerror(errno);
        unlink(temporary_.c_str());
        Forget();
        throw CFileException("cannot complete the file (" + reason + ")", target_.string());
    }
    Forget();
}

void CAtomicFile::Forget()
{
    CPartialFiles::Forget(partialSlot_);
    partialSlot_ = -1;
    temporary_.clear();
}

void CAtomicFile::Discard()
{
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        unlink(temporary_.c_str());
        Forget();
    }
}
