#pragma once

#include <QCursor>
#include <QPointF>

class CTransformTracker;

// The cursors of the transform tracker by index (CTransformTracker::CursorIndex):
// the resize cursors of the desktop for handles, the move cursor for the
// body, and a drawn turning-arrow cursor for rotation and shear.
class CTrackerCursors
{
public:
    static QCursor Cursor(int index);
    // The tracker's cursor for the point (during a drag, that of the drag),
    // or `otherwise` where the tracker has none.
    static QCursor Over(const CTransformTracker& tracker, const QPointF& point,
                        Qt::KeyboardModifiers keys, bool spaceHeld, Qt::CursorShape otherwise);

private:
    static QCursor TurnCursor();
};
