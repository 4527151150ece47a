#pragma once

#include <QString>
#include <QStringList>

#include <sys/types.h>
#include <vector>

namespace platform {

// One running process of the user.
struct ProcessEntry
{
    pid_t pid = 0;
    QString executableName; // file name of its program, without folders
    dev_t device = 0;       // the program file's identity
    ino_t inode = 0;
};

// The process services the updater needs: a snapshot of the user's
// processes (from /proc), termination (asked for, then forced) with a wait
// until the process is gone, and a detached start in a working folder. Signals go through a
// process handle (pidfd), so a process id that was reused meanwhile is never
// hit.
class CProcesses
{
public:
    // Every process of the current user whose program can be read, except
    // this one.
    static std::vector<ProcessEntry> Snapshot();
    // Sends SIGKILL and waits until the process has ended (a zombie counts
    // as ended); false when it could not be signalled or is still there
    // after `timeoutMs`.
    static bool Terminate(pid_t pid, int timeoutMs = 10000);
    // Ends every process of the user that runs `programFile` itself (the
    // same file by device and inode; a namesake elsewhere is left alone):
    // asks each to end (SIGTERM), gives them `graceMs` together to do so,
    // then kills those still running (SIGKILL) and waits up to `timeoutMs`
    // for each. The number of processes ended.
    static int StopProgram(const QString& programFile, int graceMs = 10000, int timeoutMs = 10000);
    static bool StartDetached(const QString& program, const QStringList& arguments,
                              const QString& workingFolder);
};

// The file name of a program of this system on this platform: "Pixvel" here
// for "Pixvel" (it would be "Pixvel.exe" on Windows).
QString ExecutableName(const QString& baseName);

} // namespace platform
