#pragma once

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <functional>
#include <memory>
#include <mutex>

class COMRImageEditorDoc;
class CItemCanvas;
class QLockFile;

// Keeps unsaved work safe from a crash: while the document has unsaved
// changes, a recovery project is written at most once per interval (30 s,
// or PIXVEL_RECOVERY_SECONDS) after a change, to
// $XDG_STATE_HOME/pixvel/recovery (~/.local/state when unset), never beside
// the user's files. The GUI thread only takes a snapshot of the items (their
// bitmaps shared); a worker thread encodes and writes it, through a
// temporary file, so a crash during a write leaves the previous one. The
// project is removed when the changes are saved or dropped and on a clean
// exit. One running editor holds the folder (a lock file); another one
// started meanwhile neither offers nor writes recovery.
class CRecoveryFile : public QObject
{
public:
    static constexpr double kDefaultSeconds = 30;

    // `documentPath` names the file the work belongs to, kept in the
    // recovery project so the recovered work saves back there.
    CRecoveryFile(COMRImageEditorDoc& document, const CItemCanvas& canvas,
                  std::function<QString()> documentPath);
    ~CRecoveryFile() override;

    static QString Folder();
    static QString Path();
    // The interval between writes, in milliseconds.
    static int IntervalMs();

    // Takes the recovery folder for this editor; false when another running
    // editor holds it (this one then stays out of it).
    bool Acquire();
    bool Active() const { return lock_ != nullptr; }
    bool Exists() const;
    // Removes the recovery project (a write under way is dropped).
    void Discard();
    // Leaves the folder to the next start untouched: no more writes, no removal.
    void Release();
    // Waits until the writes started so far are on disk.
    void WaitForWrites();
    // Writes the unsaved work now, on the calling thread, and returns once
    // it is on disk (the program is about to end).
    void WriteNow();

private:
    void Changed(bool modified);
    void Write();
    // The write of the current work, made from a snapshot taken now; empty
    // when there is nothing to keep.
    std::function<void()> WriteJob();

    COMRImageEditorDoc& document_;
    const CItemCanvas& canvas_;
    std::function<QString()> documentPath_;
    std::unique_ptr<QLockFile> lock_;
    QTimer timer_;
    QThreadPool pool_;
    std::mutex mutex_;
    quint64 generation_ = 0; // under mutex_: a write of an older generation is dropped
};
