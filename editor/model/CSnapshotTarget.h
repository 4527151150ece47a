#pragma once

#include "CCanvasSnapshot.h"

#include <memory>

// What a snapshot step puts its snapshots back through: the history that
// holds the step. Undo and redo of a step call it; the step never sees more
// of the history than this.
class CSnapshotTarget
{
public:
    using Snapshot = std::shared_ptr<CCanvasSnapshot>;

    // Makes `snapshot` the current state (and puts it on the canvas unless
    // the target says otherwise).
    virtual void Apply(const Snapshot& snapshot) = 0;
    // Whether the steps are being put back while the history is rebuilt.
    virtual bool Rebuilding() const = 0;

protected:
    ~CSnapshotTarget() = default;
};
