#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <vector>

// A CUPS scheduler of the test's own: `cupsd -f` running as the current user
// with every file it reads or writes in a temporary folder, listening only on
// a socket there, so the machine's own printing is neither used nor touched.
// Printers write their output to files in that folder. CUPS_SERVER points at
// the socket while the scheduler runs; the scheduler and its jobs end with
// Stop() or the destructor, and with the test program should it die.
class CPrivateScheduler
{
public:
    CPrivateScheduler();
    ~CPrivateScheduler();

    // Starts the scheduler; false with the reason when it cannot run here.
    bool Start(QString* why);
    void Stop();

    // Adds a generic PostScript printer that writes to OutputOf(name); the
    // default printer when `makeDefault`.
    bool AddPrinter(const QString& name, bool makeDefault);
    void RemovePrinter(const QString& name);
    QString OutputOf(const QString& name) const;

    // Waits until the scheduler has finished `count` jobs on a printer; their
    // names in the order they finished (from the scheduler's page log).
    QStringList WaitForFinishedJobs(const QString& printer, int count, int timeoutMs = 60000) const;
    // Runs a CUPS client program against this scheduler.
    static QString Client(const QString& program, const QStringList& arguments, bool* ok = nullptr);

private:
    bool WriteConfiguration() const;
    QString LogTail() const;

    // A variable of the environment as it was before Start().
    struct Variable
    {
        const char* name;
        bool set;
        QByteArray value;
    };

    QTemporaryDir folder_;
    std::unique_ptr<QProcess> cupsd_;
    std::vector<Variable> saved_;
};
