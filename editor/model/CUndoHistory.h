#pragma once

#include "CSnapshotStep.h"

#include <QUndoStack>

#include <functional>

// The undo history of one picture: a QUndoStack of snapshot steps, and the
// snapshot of the state the picture is in now (the "before" of the next
// step). Bounded by the bytes of the bitmaps its steps hold, each distinct
// bitmap counted once: when a new step would pass the bound, the oldest
// steps go. The stack's clean state marks the saved picture.
class CUndoHistory : public CSnapshotTarget
{
public:
    using Snapshot = CSnapshotStep::Snapshot;
    // Puts a snapshot back on the canvas and the screen.
    using Restore = std::function<void(const CCanvasSnapshot&)>;
    // Told whether the picture is as saved, whenever that changes.
    using CleanListener = std::function<void(bool clean)>;

    static constexpr qint64 kDefaultByteLimit = qint64(1) << 30;

    CUndoHistory(Restore restore, CleanListener clean);
    // The stack empties itself as it goes; its owner hears nothing of it.
    ~CUndoHistory() { rebuilding_ = true; }
    CUndoHistory(const CUndoHistory&) = delete;
    CUndoHistory& operator=(const CUndoHistory&) = delete;

    // Forgets every step; `current` is the picture as opened, clean unless
    // it is unsaved work (a recovered project).
    void Reset(Snapshot current, bool saved = true);
    // Adds the step from the current snapshot to `after` (already on the
    // canvas), or merges it into the last step.
    void Record(const QString& name, Snapshot after, CSnapshotStep::Merge merge = {});
    const Snapshot& Current() const { return current_; }
    // The selection changed: the current state keeps the new one.
    void NoteSelection(int selected);

    void Undo() { stack_.undo(); }
    void Redo() { stack_.redo(); }
    bool CanUndo() const { return stack_.canUndo(); }
    bool CanRedo() const { return stack_.canRedo(); }
    QString UndoText() const { return stack_.undoText(); }
    QString RedoText() const { return stack_.redoText(); }
    void SetClean() { stack_.setClean(); }
    bool IsClean() const { return stack_.isClean(); }
    int Count() const { return stack_.count(); }
    int Index() const { return stack_.index(); }

    // The bitmap bytes the steps hold.
    qint64 Bytes() const { return bytes_; }
    qint64 ByteLimit() const { return limit_; }
    void SetByteLimit(qint64 limit);

    // For the steps: makes `snapshot` the current state and, unless a step
    // is only being pushed or the history rebuilt, puts it on the canvas.
    void Apply(const Snapshot& snapshot) override;
    bool Rebuilding() const override { return rebuilding_; }

private:
    const CSnapshotStep& Step(int index) const;
    qint64 BytesFrom(int first) const;
    void Trim();
    // Rebuilds the stack without its `count` oldest steps.
    void DropOldest(int count);

    QUndoStack stack_;
    Snapshot current_;
    Restore restore_;
    CleanListener clean_;
    qint64 limit_ = kDefaultByteLimit;
    qint64 bytes_ = 0;
    bool quiet_ = false;      // steps change the current state only
    bool rebuilding_ = false; // nor do clean changes go out, nor steps merge
};
