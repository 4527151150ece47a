#pragma once

#include "CSnapshotTarget.h"

#include <QUndoCommand>

// One step of the undo history: the canvas before and after an edit. Undo
// and redo put the one or the other back through the history. Steps of the
// same merge id and key merge: the first keeps its "before", the last gives
// its "after".
class CSnapshotStep : public QUndoCommand
{
public:
    using Snapshot = CSnapshotTarget::Snapshot;

    struct Merge
    {
        int id = -1; // −1: never merged
        int key = 0; // the edited item, say
    };

    CSnapshotStep(CSnapshotTarget& history, const QString& name, Snapshot before, Snapshot after,
                  Merge merge);

    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

    const Snapshot& Before() const { return before_; }
    const Snapshot& After() const { return after_; }
    Merge MergeRule() const { return merge_; }

private:
    CSnapshotTarget& history_;
    Snapshot before_;
    Snapshot after_;
    Merge merge_;
};
