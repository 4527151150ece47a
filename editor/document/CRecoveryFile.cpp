#include "CRecoveryFile.h"

#include "CItemCanvas.h"
#include "COMRImageEditorDoc.h"
#include "CProjectWriter.h"

#include <QDir>
#include <QFile>
#include <QLockFile>

#include <cmath>

CRecoveryFile::CRecoveryFile(COMRImageEditorDoc& document, const CItemCanvas& canvas,
                             std::function<QString()> documentPath)
    : document_(document), canvas_(canvas), documentPath_(std::move(documentPath))
{
    pool_.setMaxThreadCount(1); // writes go to disk one after the other, in order
    timer_.setSingleShot(true);
    timer_.setInterval(IntervalMs());
    connect(&timer_, &QTimer::timeout, this, &CRecoveryFile::Write);
    document_.SetModifiedListener([this](bool modified) { Changed(modified); });
}

CRecoveryFile::~CRecoveryFile()
{
    document_.SetModifiedListener({});
    pool_.waitForDone();
}

QString CRecoveryFile::Folder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state)) {
        state = QDir::homePath() + QStringLiteral("/.local/state");
    }
    return QDir(state).filePath(QStringLiteral("pixvel/recovery"));
}

QString CRecoveryFile::Path()
{
    return QDir(Folder()).filePath(QStringLiteral("recovery.pixvel"));
}

int CRecoveryFile::IntervalMs()
{
    bool ok = false;
    const double seconds = qEnvironmentVariable("PIXVEL_RECOVERY_SECONDS").toDouble(&ok);
    const bool valid = ok && std::isfinite(seconds) && seconds > 0 && seconds <= kDefaultSeconds;
    return int(std::lround((valid ? seconds : kDefaultSeconds) * 1000));
}

bool CRecoveryFile::Acquire()
{
    if (!QDir().mkpath(Folder())) {
        return false;
    }
    QFile::setPermissions(Folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    auto lock = std::make_unique<QLockFile>(QDir(Folder()).filePath(QStringLiteral("editor.lock")));
    // A lock left by an editor that died is stale: its process is gone.
    if (!lock->tryLock(0)) {
        return false;
    }
    lock_ = std::move(lock);
    return true;
}

bool CRecoveryFile::Exists() const
{
    return QFile::exists(Path());
}

void CRecoveryFile::Discard()
{
    timer_.stop();
    if (!Active()) {
        return;
    }
    std::lock_guard<std::mutex> guard(mutex_);
    ++generation_;
    QFile::remove(Path());
}

void CRecoveryFile::Release()
{
    timer_.stop();
    {
        std::lock_guard<std::mutex> guard(mutex_);
        ++generation_;
    }
    pool_.waitForDone();
    lock_.reset();
}

void CRecoveryFile::WaitForWrites()
{
    pool_.waitForDone();
}

void CRecoveryFile::Changed(bool modified)
{
    if (!Active()) {
        return;
    }
    if (!modified) {
        Discard();
    } else if (!timer_.isActive()) {
        // Counted from the first change since the last write, so a write
        // follows every change within one interval and no oftener.
        timer_.start();
    }
}

void CRecoveryFile::Write()
{
    if (auto job = WriteJob()) {
        pool_.start(std::move(job));
    }
}

void CRecoveryFile::WriteNow()
{
    timer_.stop();
    pool_.waitForDone();
    if (auto job = WriteJob()) {
        job();
    }
}

std::function<void()> CRecoveryFile::WriteJob()
{
    if (!Active() || !document_.IsModified() || canvas_.Count() == 0) {
        return {};
    }
    auto content = std::make_shared<ProjectContent>(ProjectContent::Snapshot(canvas_));
    content->documentPath = documentPath_();
    quint64 generation = 0;
    {
        std::lock_guard<std::mutex> guard(mutex_);
        generation = generation_;
    }
    return [this, content, generation] {
        try {
            CProjectWriter::Package package;
            if (!CProjectWriter::Pack(*content, &package, nullptr)) {
                return;
            }
            CProjectWriter::Write(package, Path(), nullptr);
            // Saved or dropped meanwhile: the work needs no recovery. The
            // check follows the write, so the GUI thread never waits for
            // the disk.
            std::lock_guard<std::mutex> guard(mutex_);
            if (generation != generation_) {
                QFile::remove(Path());
            }
        } catch (...) {
            // Out of memory: this write is lost; the next change tries again.
        }
    };
}
