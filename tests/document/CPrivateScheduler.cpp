#include "CPrivateScheduler.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <sys/prctl.h>

namespace {

// The scheduler's own programs live in the administrators' folders, which a
// user's search path may lack.
QString FindProgram(const QString& name)
{
    const QString found = QStandardPaths::findExecutable(name);
    return found.isEmpty() ? QStandardPaths::findExecutable(name, {"/usr/sbin", "/sbin"}) : found;
}

bool WriteFile(const QString& path, const QString& text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.toUtf8().size();
}

// Environment of the CUPS clients (Qt's printing included): this scheduler,
// and no user or system choice of another default printer.
const char* const kClientVariables[] = {"CUPS_SERVER", "CUPS_SERVERROOT", "LPDEST", "PRINTER"};

} // namespace

CPrivateScheduler::CPrivateScheduler()
{
    // The scheduler runs its filters as another user, who must reach the
    // spool inside.
    QFile::setPermissions(folder_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ReadGroup | QFile::ExeGroup |
                                              QFile::ReadOther | QFile::ExeOther);
    for (const char* name : kClientVariables) {
        saved_.push_back({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
    }
}

CPrivateScheduler::~CPrivateScheduler()
{
    Stop();
}

bool CPrivateScheduler::Start(QString* why)
{
    const QString cupsd = FindProgram("cupsd");
    if (cupsd.isEmpty() || FindProgram("lpadmin").isEmpty() || FindProgram("lpstat").isEmpty()) {
        *why = "the CUPS scheduler and its clients are not installed (cups, cups-client)";
        return false;
    }
    if (!folder_.isValid() || !WriteConfiguration()) {
        *why = "cannot write the scheduler's configuration in a temporary folder";
        return false;
    }
    qputenv("CUPS_SERVER", QFile::encodeName(folder_.filePath("cups.sock")));
    qputenv("CUPS_SERVERROOT", QFile::encodeName(folder_.filePath("root")));
    qunsetenv("LPDEST");
    qunsetenv("PRINTER");

    cupsd_ = std::make_unique<QProcess>();
    cupsd_->setProgram(cupsd);
    cupsd_->setArguments(
        {"-f", "-c", folder_.filePath("cupsd.conf"), "-s", folder_.filePath("cups-files.conf")});
    cupsd_->setStandardOutputFile(folder_.filePath("log/cupsd.out"));
    cupsd_->setStandardErrorFile(folder_.filePath("log/cupsd.out"));
    // Should the test program die, the scheduler goes with it.
    cupsd_->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    cupsd_->start();
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired()) {
        if (cupsd_->waitForFinished(200)) {
            *why = "cupsd cannot run here: " + LogTail();
            Stop();
            return false;
        }
        bool ok = false;
        if (Client("lpstat", {"-r"}, &ok).contains("is running") && ok) {
            return true;
        }
    }
    *why = "cupsd did not answer within 20 s: " + LogTail();
    Stop();
    return false;
}

void CPrivateScheduler::Stop()
{
    if (cupsd_ != nullptr) {
        // On SIGTERM the scheduler stops its jobs' filters and ends.
        cupsd_->terminate();
        if (!cupsd_->waitForFinished(15000)) {
            cupsd_->kill();
            cupsd_->waitForFinished(5000);
        }
        cupsd_.reset();
    }
    for (const Variable& variable : saved_) {
        if (variable.set) {
            qputenv(variable.name, variable.value);
        } else {
            qunsetenv(variable.name);
        }
    }
}

bool CPrivateScheduler::WriteConfiguration() const
{
    const QDir root(folder_.path());
    for (const char* sub : {"root", "spool/tmp", "cache", "state", "log"}) {
        if (!root.mkpath(sub)) {
            return false;
        }
    }
    const QString conf = QStringLiteral("Listen %1\n"
                                        "Browsing No\n"
                                        "LogLevel info\n"
                                        "PageLogFormat %p %P %{job-name}\n"
                                        "DefaultPolicy open\n"
                                        "<Policy open>\n"
                                        "  <Limit All>\n"
                                        "    Order allow,deny\n"
                                        "    Allow all\n"
                                        "  </Limit>\n"
                                        "</Policy>\n"
                                        "<Location />\n"
                                        "  Order allow,deny\n"
                                        "  Allow all\n"
                                        "</Location>\n")
                             .arg(root.filePath("cups.sock"));
    const QString files = QStringLiteral("FileDevice Yes\n"
                                         "ServerRoot %1/root\n"
                                         "RequestRoot %1/spool\n"
                                         "TempDir %1/spool/tmp\n"
                                         "CacheDir %1/cache\n"
                                         "StateDir %1/state\n"
                                         "AccessLog %1/log/access_log\n"
                                         "ErrorLog %1/log/error_log\n"
                                         "PageLog %1/log/page_log\n")
                              .arg(root.path());
    return WriteFile(root.filePath("cupsd.conf"), conf) &&
           WriteFile(root.filePath("cups-files.conf"), files);
}

QString CPrivateScheduler::LogTail() const
{
    QString text;
    for (const char* name : {"log/cupsd.out", "log/error_log"}) {
        QFile file(folder_.filePath(name));
        if (file.open(QIODevice::ReadOnly)) {
            text += QString::fromUtf8(file.readAll().right(1500));
        }
    }
    return text.trimmed().isEmpty() ? QStringLiteral("(no log)") : text.trimmed();
}

bool CPrivateScheduler::AddPrinter(const QString& name, bool makeDefault)
{
    bool ok = false;
    Client(
        "lpadmin",
        {"-p", name, "-E", "-v", "file:" + OutputOf(name), "-m", "drv:///sample.drv/generic.ppd"},
        &ok);
    if (ok && makeDefault) {
        Client("lpadmin", {"-d", name}, &ok);
    }
    return ok;
}

void CPrivateScheduler::RemovePrinter(const QString& name)
{
    Client("lpadmin", {"-x", name});
}

QString CPrivateScheduler::OutputOf(const QString& name) const
{
    return folder_.filePath(name + ".ps");
}

QStringList CPrivateScheduler::WaitForFinishedJobs(const QString& printer, int count,
                                                   int timeoutMs) const
{
    const QString finished = printer + " total ";
    const QDeadlineTimer deadline(timeoutMs);
    QStringList names;
    do {
        names.clear();
        QFile log(folder_.filePath("log/page_log"));
        if (log.open(QIODevice::ReadOnly)) {
            // One line per finished job: "PRINTER total NAME".
            for (const QString& line : QString::fromUtf8(log.readAll()).split('\n')) {
                if (line.startsWith(finished)) {
                    names.append(line.mid(finished.size()).trimmed());
                }
            }
        }
        if (names.size() >= count) {
            break;
        }
        QThread::msleep(100);
    } while (!deadline.hasExpired());
    return names;
}

QString CPrivateScheduler::Client(const QString& program, const QStringList& arguments, bool* ok)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(FindProgram(program), arguments);
    const bool finished = process.waitForFinished(30000);
    if (!finished) {
        process.kill();
        process.waitForFinished(5000);
    }
    if (ok != nullptr) {
        *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }
    return QString::fromUtf8(process.readAll());
}
