#include "CUndoHistory.h"

#include <utility>

namespace {

// Runs `work` with `flag` set.
template <typename Work> void With(bool& flag, Work work)
{
    const bool was = std::exchange(flag, true);
    work();
    flag = was;
}

} // namespace

CUndoHistory::CUndoHistory(Restore restore, CleanListener clean)
    : restore_(std::move(restore)), clean_(std::move(clean))
{
    QObject::connect(&stack_, &QUndoStack::cleanChanged, &stack_, [this](bool clean) {
        if (!rebuilding_ && clean_) {
            clean_(clean);
        }
    });
}

void CUndoHistory::Reset(Snapshot current, bool saved)
{
    With(rebuilding_, [this, saved] {
        stack_.clear();
        if (!saved) {
            stack_.resetClean();
        }
    });
    current_ = std::move(current);
    bytes_ = 0;
    if (clean_) {
        clean_(saved);
    }
}

void CUndoHistory::Record(const QString& name, Snapshot after, CSnapshotStep::Merge merge)
{
    With(quiet_,
         [&] { stack_.push(new CSnapshotStep(*this, name, current_, std::move(after), merge)); });
    Trim();
}

void CUndoHistory::NoteSelection(int selected)
{
    if (current_ != nullptr) {
        current_->SetSelected(selected);
    }
}

void CUndoHistory::Apply(const Snapshot& snapshot)
{
    current_ = snapshot;
    if (!quiet_ && !rebuilding_ && restore_) {
        restore_(*snapshot);
    }
}

void CUndoHistory::SetByteLimit(qint64 limit)
{
    limit_ = limit;
    Trim();
}

const CSnapshotStep& CUndoHistory::Step(int index) const
{
    return static_cast<const CSnapshotStep&>(*stack_.command(index));
}

qint64 CUndoHistory::BytesFrom(int first) const
{
    CCanvasSnapshot::BitmapBytes bitmaps;
    for (int index = first; index < stack_.count(); ++index) {
        Step(index).Before()->CollectBitmaps(bitmaps);
        Step(index).After()->CollectBitmaps(bitmaps);
    }
    qint64 bytes = 0;
    for (const auto& [key, size] : bitmaps) {
        bytes += size;
    }
    return bytes;
}

void CUndoHistory::Trim()
{
    bytes_ = BytesFrom(0);
    // Only steps already done can go: the state on screen stays reachable.
    int drop = 0;
    while (bytes_ > limit_ && drop < stack_.index()) {
        bytes_ = BytesFrom(++drop);
    }
    if (drop > 0) {
        DropOldest(drop);
    }
}

void CUndoHistory::DropOldest(int count)
{
    struct Kept
    {
        QString name;
        Snapshot before;
        Snapshot after;
        CSnapshotStep::Merge merge;
    };
    std::vector<Kept> kept;
    for (int index = count; index < stack_.count(); ++index) {
        const CSnapshotStep& step = Step(index);
        kept.push_back({step.text(), step.Before(), step.After(), step.MergeRule()});
    }
    const int index = stack_.index() - count;
    const int clean = stack_.cleanIndex() - count;
    const Snapshot current = current_;
    With(rebuilding_, [&] {
        stack_.clear();
        for (Kept& step : kept) {
            if (stack_.count() == clean) {
                stack_.setClean();
            }
            stack_.push(new CSnapshotStep(*this, step.name, std::move(step.before),
                                          std::move(step.after), step.merge));
        }
        if (clean < 0) {
            stack_.resetClean(); // the saved state was among the dropped steps
        } else if (clean == stack_.count()) {
            stack_.setClean();
        }
        stack_.setIndex(index);
    });
    current_ = current;
    if (clean_) {
        clean_(stack_.isClean());
    }
}
