#include "CProcesses.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Closes a process handle when it goes out of scope.
struct CProcessHandle
{
    int fd;
    ~CProcessHandle()
    {
        if (fd >= 0) {
            close(fd);
        }
    }
};

// Kills the process behind `handle` and waits until it has ended (a zombie
// counts as ended; a child of ours is reaped).
bool KillThrough(const CProcessHandle& handle, int timeoutMs)
{
    if (pidfd_send_signal(handle.fd, SIGKILL, nullptr, 0) != 0 && errno != ESRCH) {
        return false;
    }
    pollfd ended{handle.fd, POLLIN, 0};
    int ready = 0;
    do {
        ready = poll(&ended, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready <= 0) {
        return false;
    }
    siginfo_t info{};
    waitid(P_PIDFD, id_t(handle.fd), &info, WEXITED | WNOHANG);
    return true;
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
    if (handle.fd < 0) {
        return errno == ESRCH; // already gone
    }
    return KillThrough(handle, timeoutMs);
}

int CProcesses::StopProgram(const QString& programFile, int timeoutMs)
{
    dev_t device = 0;
    ino_t inode = 0;
    if (!FileIdentity(programFile, device, inode)) {
        return 0;
    }
    int stopped = 0;
    for (const ProcessEntry& process : Snapshot()) {
        if (process.device != device || process.inode != inode) {
            continue;
        }
        // The handle is taken first, then the program checked again: the
        // handle can only name the process that was checked.
        const CProcessHandle handle{int(pidfd_open(process.pid, 0))};
        if (handle.fd >= 0 && RunsProgram(process.pid, device, inode) &&
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
