#include "CTracker.h"

int CTracker::Press(const QPointF& point, Qt::KeyboardModifiers keys)
{
    if (tracking_) {
        return kNotTaken; // the mouse is already captured
    }
    start_ = previous_ = current_ = point;
    moved_ = false;
    if (!BeginTrack(point, keys)) {
        return kNotTaken;
    }
    tracking_ = true;
    return kTracking;
}

int CTracker::MouseMove(const QPointF& point, Qt::KeyboardModifiers keys)
{
    if (!tracking_) {
        return kNotTaken;
    }
    previous_ = current_;
    current_ = point;
    if (current_ != start_) {
        moved_ = true;
    }
    TrackStep(keys);
    return kTracking;
}

int CTracker::Release(const QPointF& point, Qt::KeyboardModifiers keys)
{
    if (!tracking_) {
        return kNotTaken;
    }
    if (point != current_) {
        MouseMove(point, keys);
    }
    if (!moved_) {
        return Finish(kUnmoved);
    }
    return Finish((keys & Qt::ControlModifier) && CtrlCounts() ? kTransformedCtrl : kTransformed);
}

int CTracker::RightButton()
{
    return tracking_ ? Finish(kCancelled) : kNotTaken;
}

int CTracker::KeyPress(int key, Qt::KeyboardModifiers keys)
{
    if (!tracking_) {
        return kNotTaken;
    }
    if (key == Qt::Key_Escape) {
        return Finish(kCancelled);
    }
    if (key == Qt::Key_Space) {
        spaceDown_ = true;
    }
    previous_ = current_;
    TrackStep(keys);
    return kTracking;
}

int CTracker::KeyRelease(int key, Qt::KeyboardModifiers keys)
{
    if (!tracking_) {
        return kNotTaken;
    }
    if (key == Qt::Key_Space) {
        spaceDown_ = false;
    }
    previous_ = current_;
    TrackStep(keys);
    return kTracking;
}

int CTracker::CaptureLost()
{
    return tracking_ ? Finish(kNotTaken) : kNotTaken;
}

int CTracker::Finish(int result)
{
    tracking_ = false;
    spaceDown_ = false;
    EndTrack(result == kTransformed || result == kTransformedCtrl || result == kUnmoved);
    return result;
}
