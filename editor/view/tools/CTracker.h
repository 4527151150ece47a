#pragma once

#include <QPointF>
#include <Qt>

// The general part of a mouse tracker: it follows one drag from the press to
// the release, driven by the owner's mouse and key events instead of a modal
// capture loop, and ends with one of the result codes below. What a drag does
// is up to the subclass.
class CTracker
{
public:
    enum Result : int
    {
        kTracking = 0,        // the drag goes on
        kTransformed = 1,     // released after moving
        kTransformedCtrl = 2, // released after moving, with Ctrl down
        kUnmoved = 3,         // released without moving
        kCancelled = -1,      // Esc or the right button
        kNotTaken = -2,       // not on the tracker, inactive, busy, or capture lost
    };

    virtual ~CTracker() = default;

    bool IsTracking() const { return tracking_; }

    // A left-button press: kTracking when the drag starts, kNotTaken otherwise.
    int Press(const QPointF& point, Qt::KeyboardModifiers keys);
    int MouseMove(const QPointF& point, Qt::KeyboardModifiers keys);
    int Release(const QPointF& point, Qt::KeyboardModifiers keys);
    int RightButton();
    int KeyPress(int key, Qt::KeyboardModifiers keys);
    int KeyRelease(int key, Qt::KeyboardModifiers keys);
    int CaptureLost();

protected:
    // Starts a drag at the point; false when the point is not the tracker's.
    virtual bool BeginTrack(const QPointF& point, Qt::KeyboardModifiers keys) = 0;
    // One step of the drag, from the previous point to the current one.
    virtual void TrackStep(Qt::KeyboardModifiers keys) = 0;
    // The drag ended; `accepted` is false for a cancel or a lost capture.
    virtual void EndTrack(bool accepted) = 0;
    // Whether the release counts as kTransformedCtrl when Ctrl is down.
    virtual bool CtrlCounts() const { return true; }

    QPointF StartPoint() const { return start_; }
    QPointF PreviousPoint() const { return previous_; }
    QPointF CurrentPoint() const { return current_; }
    bool SpaceDown() const { return spaceDown_; }

private:
    int Finish(int result);

    bool tracking_ = false;
    bool moved_ = false;
    bool spaceDown_ = false;
    QPointF start_;
    QPointF previous_;
    QPointF current_;
};
