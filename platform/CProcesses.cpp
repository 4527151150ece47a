#include "CProcesses.h"

#include "CDescriptor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

// This C library's header lacks the C++ linkage braces.
extern "C" {
#include <sys/pidfd.h>
}

namespace platform {

namespace {

// The program file name of a process, from its /proc/PID/exe link.
QString ProgramName(const QString& processFolder)
{
    QString target = QFile::symLinkTarget(processFolder + "/exe");
    if (target.endsWith(" (deleted)")) {
        target.chop(10); // the program file was replaced while it runs
    }
    return QFileInfo(target).fileName();
}

// The identity of the file at `path` (links followed).
bool FileIdentity(const QString& path, dev_t& device, ino_t& inode)
{
    struct stat info
    {
    };
    if (stat(QFile::encodeName(path).constData(), &info) != 0) {
        return false;
    }
    device = info.st_dev;
    inode = info.st_ino;
    return true;
}

bool RunsProgram(pid_t pid, dev_t device, ino_t inode)
{
    dev_t runningDevice = 0;
    ino_t runningInode = 0;
    return FileIdentity(QString("/proc/%1/exe").arg(pid), runningDevice, runningInode) &&
           runningDevice == device && runningInode == inode;
}

// A process handle (pidfd).
using CProcessHandle = CDescriptor;

bool Signal(const CProcessHandle& handle, int signal)
{
    return pidfd_send_signal(handle.Get(), signal, nullptr, 0) == 0 || errno == ESRCH;
}

// Waits until the process behind `handle` has ended (a zombie counts as
// ended; a child of ours is reaped); false when it still runs after
// `timeoutMs`.
bool WaitEnded(const CProcessHandle& handle, int timeoutMs)
{
    pollfd ended{handle.Get(), POLLIN, 0};
    int ready = 0;
    do {
        ready = poll(&ended, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) {
        return false;
    }
    siginfo_t info{};
    waitid(P_PIDFD, id_t(handle.Get()), &info, WEXITED | WNOHANG);
    return true;
}

// Kills the process behind `handle` and waits until it has ended.
bool KillThrough(const CProcessHandle& handle, int timeoutMs)
{
    return Signal(handle, SIGKILL) && WaitEnded(handle, timeoutMs);
}

} // namespace

std::vector<ProcessEntry> CProcesses::Snapshot()
{
    std::vector<ProcessEntry> processes;
    const pid_t self = getpid();
    const uid_t user = getuid();
    const QStringList names = QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        bool numeric = false;
        const pid_t pid = pid_t(name.toInt(&numeric));
        struct stat info
        {
        };
        const QString folder = "/proc/" + name;
        if (!numeric || pid == self || stat(folder.toLocal8Bit().constData(), &info) != 0 ||
            info.st_uid != user) {
            continue;
        }
        ProcessEntry entry{pid, ProgramName(folder)};
        if (!entry.executableName.isEmpty() &&
            FileIdentity(folder + "/exe", entry.device, entry.inode)) {
            processes.push_back(entry);
        }
    }
    return processes;
}

bool CProcesses::Terminate(pid_t pid, int timeoutMs)
{
    if (pid <= 0 || pid == getpid()) {
        return false;
    }
    const CProcessHandle handle{int(pidfd_open(pid, 0))};
    if (handle.Get() < 0) {
        return errno == ESRCH; // already gone
    }
    return KillThrough(handle, timeoutMs);
}

int CProcesses::StopProgram(const QString& programFile, int graceMs, int timeoutMs)
{
    dev_t device = 0;
    ino_t inode = 0;
    if (!FileIdentity(programFile, device, inode)) {
        return 0;
    }
    std::vector<CProcessHandle> asked;
    for (const ProcessEntry& process : Snapshot()) {
        if (process.device != device || process.inode != inode) {
            continue;
        }
        // The handle is taken first, then the program checked again: the
        // handle can only name the process that was checked.
        CProcessHandle handle{int(pidfd_open(process.pid, 0))};
        if (handle.Get() >= 0 && RunsProgram(process.pid, device, inode) &&
            Signal(handle, SIGTERM)) {
            asked.push_back(std::move(handle));
        }
    }
    // All of them end at the same time: the grace period is shared.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(graceMs);
    int stopped = 0;
    for (const CProcessHandle& handle : asked) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (WaitEnded(handle, int(std::max<int64_t>(0, left.count()))) ||
            KillThrough(handle, timeoutMs)) {
            ++stopped;
        }
    }
    return stopped;
}

bool CProcesses::StartDetached(const QString& program, const QStringList& arguments,
                               const QString& workingFolder)
{
    return QProcess::startDetached(program, arguments, workingFolder);
}

QString ExecutableName(const QString& baseName)
{
#ifdef Q_OS_WIN
    return baseName + ".exe";
#else
    return baseName;
#endif
}

} // namespace platform
