#include "CProcesses.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

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

// True once the process is gone or only a zombie is left of it.
bool Ended(pid_t pid)
{
    waitpid(pid, nullptr, WNOHANG); // reaps it when it is a child of ours
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return true;
    }
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    if (close >= 0 && line.mid(close + 2, 1) != "Z") {
        return false;
    }
    // It may have died between the first wait and the read: reap it now, so
    // that a child of ours does not linger as a zombie.
    waitpid(pid, nullptr, WNOHANG);
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
        const QString program = ProgramName(folder);
        if (!program.isEmpty()) {
            processes.push_back({pid, program});
        }
    }
    return processes;
}

bool CProcesses::Terminate(pid_t pid, int timeoutMs)
{
    if (pid <= 0 || pid == getpid() || (kill(pid, SIGKILL) != 0 && errno != ESRCH)) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!Ended(pid)) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        QThread::msleep(2);
    }
    return true;
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
