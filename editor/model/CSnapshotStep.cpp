#include "CSnapshotStep.h"

CSnapshotStep::CSnapshotStep(CSnapshotTarget& history, const QString& name, Snapshot before,
                             Snapshot after, Merge merge)
    : QUndoCommand(name), history_(history), before_(std::move(before)), after_(std::move(after)),
      merge_(merge)
{}

void CSnapshotStep::undo()
{
    history_.Apply(before_);
}

void CSnapshotStep::redo()
{
    history_.Apply(after_);
}

int CSnapshotStep::id() const
{
    // Steps put back while the history is rebuilt stay apart.
    return history_.Rebuilding() ? -1 : merge_.id;
}

bool CSnapshotStep::mergeWith(const QUndoCommand* other)
{
    const auto* next = dynamic_cast<const CSnapshotStep*>(other);
    if (next == nullptr || next->merge_.key != merge_.key) {
        return false;
    }
    after_ = next->after_;
    return true;
}
