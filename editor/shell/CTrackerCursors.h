#pragma once

#include <QCursor>

// The cursors of the transform tracker by index (CTransformTracker::CursorIndex):
// the resize cursors of the desktop for handles, the move cursor for the
// body, and a drawn turning-arrow cursor for rotation and shear.
class CTrackerCursors
{
public:
    static QCursor Cursor(int index);

private:
    static QCursor TurnCursor();
};
