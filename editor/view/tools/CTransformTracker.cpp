#include "CTransformTracker.h"

#include <QPainter>

#include <cmath>
#include <numbers>

namespace {

// Scale factors never reach zero or below unless mirroring is allowed.
constexpr double kMinScale = 0.01;

// How far the rotate handle sits above the top-middle handle, in handle sizes:
// clear of that handle's outer zone.
constexpr int kRotateStem = 4;

double Degrees(double radians)
{
    return radians * 180.0 / std::numbers::pi;
}

bool IsVerticalEdge(int handle)
{
    return handle == 3 || handle == 7;
}

// Brings an angle into (−180, 180].
double Normalised(double angle)
{
    while (angle > 180.0) {
        angle -= 360.0;
    }
    while (angle <= -180.0) {
        angle += 360.0;
    }
    return angle;
}

// Rounds a rotation to a multiple of 15 degrees.
double Snapped15(double angle)
{
    double t = std::floor((angle + 367.5) / 15.0) * 15.0;
    if (t > 180.0) {
        t = std::fmod(t + 179.0, 360.0) - 179.0;
    }
    return t;
}

double RatioOr(double numerator, double denominator, double fallback)
{
    return denominator == 0.0 ? fallback : numerator / denominator;
}

// A scale factor of (almost) zero would flatten the outline into a line that
// can no longer be seen nor turned back; it keeps the smallest size instead.
double AwayFromZero(double factor)
{
    return std::abs(factor) < kMinScale ? std::copysign(kMinScale, factor) : factor;
}

} // namespace

CTransformTracker::CTransformTracker() = default;

void CTransformTracker::Select(const QPainterPath& outline)
{
    outline_ = outline;
    active_ = true;
    pivotMoved_ = false;
    Layout();
}

void CTransformTracker::Deselect()
{
    active_ = false;
    outline_ = QPainterPath();
    mode_ = kIdle;
}

void CTransformTracker::SetHandleSize(int size, int margin, int handleMargin)
{
    handleSize_ = size;
    margin_ = margin;
    handleMargin_ = handleMargin;
    Layout();
}

void CTransformTracker::Layout()
{
    frame_ = outline_.boundingRect().normalized().adjusted(-margin_, -margin_, margin_, margin_);
    const QRectF h = frame_.adjusted(-handleMargin_, -handleMargin_, handleMargin_, handleMargin_);
    const QPointF c = h.center();
    handles_ = {
        h.topLeft(),     QPointF(c.x(), h.top()),    h.topRight(),   QPointF(h.right(), c.y()),
        h.bottomRight(), QPointF(c.x(), h.bottom()), h.bottomLeft(), QPointF(h.left(), c.y())};
    if (!pivotMoved_) {
        pivot_ = frame_.center();
    }
}

QRectF CTransformTracker::HitRect(int code) const
{
    const double s = handleSize_;
    auto around = [](const QPointF& centre, double width, double height) {
        return QRectF(centre.x() - width / 2, centre.y() - height / 2, width, height);
    };
    if (code >= 0 && code < kPivot) {
        return around(handles_[size_t(code)], s, s);
    }
    if (code == kPivot) {
        return around(pivot_, s, s);
    }
    if (code == kBody) {
        return frame_;
    }
    if (code == kRotateHandle) {
        return around(RotateHandlePoint(), 2 * s, 2 * s);
    }
    const int handle = code - kOuterZone;
    if (IsCorner(handle)) {
        return around(handles_[size_t(handle)], 3 * s, 3 * s);
    }
    return IsVerticalEdge(handle) ? around(handles_[size_t(handle)], 3 * s, s)
                                  : around(handles_[size_t(handle)], s, 3 * s);
}

QPointF CTransformTracker::RotateHandlePoint() const
{
    return handles_[1] - QPointF(0, kRotateStem * handleSize_);
}

QPointF CTransformTracker::GrabPoint(int handle) const
{
    return handle == kRotateHandle ? RotateHandlePoint() : handles_[size_t(handle)];
}

QRectF CTransformTracker::Reach() const
{
    if (!active_) {
        return {};
    }
    QRectF reach = frame_;
    for (int handle = 0; handle < kPivot; ++handle) {
        reach |= HitRect(kOuterZone + handle) | HitRect(handle);
    }
    return RotateHandleShown() ? reach | HitRect(kRotateHandle) : reach;
}

int CTransformTracker::HitTest(const QPointF& point) const
{
    if (!active_) {
        return kNoHit;
    }
    int hit = kNoHit;
    for (int code = 0; code <= kPivot && hit == kNoHit; ++code) {
        if (HitRect(code).contains(point)) {
            hit = code;
        }
    }
    if (hit == kPivot && !(options_ & kPivotShown)) {
        hit = kBody; // a hidden pivot is part of the body
    }
    if (hit != kNoHit && hit != kBody) {
        return hit;
    }
    if (RotateHandleShown() && HitRect(kRotateHandle).contains(point)) {
        return kRotateHandle;
    }
    if (!(options_ & kCtrlChoosesMode)) {
        for (int code = kOuterZone; code < kOuterZone + 8; ++code) {
            if (HitRect(code).contains(point)) {
                return code;
            }
        }
    }
    const bool inBody = HitRect(kBody).contains(point) && outline_.boundingRect().contains(point);
    return inBody ? kBody : kNoHit;
}

bool CTransformTracker::RotateApplies(int code, Qt::KeyboardModifiers keys) const
{
    if (!(options_ & kRotateAllowed)) {
        return false;
    }
    if (code >= kOuterZone) {
        return IsCorner(code - kOuterZone);
    }
    return code < kPivot && IsCorner(code) && (options_ & kCtrlChoosesMode) &&
           (keys & Qt::ControlModifier);
}

bool CTransformTracker::ShearApplies(int code, Qt::KeyboardModifiers keys) const
{
    if (!(options_ & kShearAllowed)) {
        return false;
    }
    if (code >= kOuterZone) {
        return !IsCorner(code - kOuterZone);
    }
    return code < kPivot && !IsCorner(code) && (options_ & kCtrlChoosesMode) &&
           (keys & Qt::ControlModifier);
}

CTransformTracker::Mode CTransformTracker::ModeFor(int code, Qt::KeyboardModifiers keys) const
{
    if (code == kPivot) {
        return kMovePivot;
    }
    if (code == kBody) {
        return kMove;
    }
    if (code == kRotateHandle) {
        return kRotate;
    }
    if (RotateApplies(code, keys)) {
        return kRotate;
    }
    return ShearApplies(code, keys) ? kShear : kScale;
}

QPointF CTransformTracker::AnchorFor(int handle, Qt::KeyboardModifiers keys) const
{
    bool usePivot = false;
    if (options_ & kAltTogglesAnchor) {
        usePivot = keys & Qt::AltModifier;
        if (mode_ == kRotate && (options_ & kAltInvertsInRotation)) {
            usePivot = !usePivot;
        }
    }
    return usePivot ? pivot_ : handles_[size_t(handle ^ 4)];
}

bool CTransformTracker::BeginTrack(const QPointF& point, Qt::KeyboardModifiers keys)
{
    matrix_ = modeMatrix_ = QTransform();
    spaceOffset_ = QPointF();
    flipped_ = false;
    const int code = HitTest(point);
    if (code == kNoHit) {
        return false;
    }
    mode_ = ModeFor(code, keys);
    handle_ = code >= kOuterZone && code != kRotateHandle ? code - kOuterZone : code;
    pivotAtPress_ = pivot_;
    if (handle_ < kPivot || handle_ == kRotateHandle) {
        // The rotate handle turns the outline about its centre.
        anchor_ = handle_ == kRotateHandle ? pivot_ : AnchorFor(handle_, keys);
        const QPointF grabbed = GrabPoint(handle_);
        startAngle_ = Degrees(std::atan2(grabbed.y() - anchor_.y(), grabbed.x() - anchor_.x()));
    }
    return true;
}

QPointF CTransformTracker::Snapped(const QPointF& delta)
{
    const double dx = delta.x();
    const double dy = delta.y();
    if (2 * std::abs(dy) < std::abs(dx)) {
        return {dx, 0.0};
    }
    if (2 * std::abs(dx) < std::abs(dy)) {
        return {0.0, dy};
    }
    const double m = std::min(std::abs(dx), std::abs(dy));
    return {std::copysign(m, dx), std::copysign(m, dy)};
}

QTransform CTransformTracker::AboutAnchor(const QTransform& transform) const
{
    return QTransform::fromTranslate(-anchor_.x(), -anchor_.y()) * transform *
           QTransform::fromTranslate(anchor_.x(), anchor_.y());
}

QTransform CTransformTracker::ScaleStep(const QPointF& point, bool shift)
{
    const QPointF start = StartPoint();
    double sx = RatioOr(point.x() - anchor_.x(), start.x() - anchor_.x(), 1.0);
    double sy = RatioOr(point.y() - anchor_.y(), start.y() - anchor_.y(), 1.0);
    if (!IsCorner(handle_)) {
        (IsVerticalEdge(handle_) ? sy : sx) = 1.0;
    } else if (shift) {
        const double m = std::min(std::abs(sx), std::abs(sy));
        sx = std::copysign(m, sx);
        sy = std::copysign(m, sy);
    }
    if (!(options_ & kFlipAllowed)) {
        sx = std::max(sx, kMinScale);
        sy = std::max(sy, kMinScale);
    }
    sx = AwayFromZero(sx);
    sy = AwayFromZero(sy);
    flipped_ = (sx < 0) != (sy < 0);
    const QTransform matrix = AboutAnchor(QTransform::fromScale(sx, sy));
    const QRectF bounds = matrix.map(outline_).boundingRect();
    Report(bounds.width(), bounds.height());
    return matrix;
}

QTransform CTransformTracker::RotateStep(const QPointF& point, bool shift)
{
    double angle = Normalised(
        Degrees(std::atan2(point.y() - anchor_.y(), point.x() - anchor_.x())) - startAngle_);
    if (shift) {
        angle = Snapped15(angle);
    }
    Report(mirrored_ ? -angle : angle, 0.0);
    return AboutAnchor(QTransform().rotate(angle));
}

QTransform CTransformTracker::ShearStep(const QPointF& point, bool shift)
{
    const QPointF start = StartPoint();
    const double dx = point.x() - anchor_.x();
    const double dy = point.y() - anchor_.y();
    QTransform scale;
    QTransform shear;
    double factor = 0.0;
    if (IsVerticalEdge(handle_)) {
        factor = RatioOr(dy, dx, 0.0);
        scale = QTransform::fromScale(
            shift ? 1.0 : AwayFromZero(RatioOr(dx, start.x() - anchor_.x(), 1.0)), 1.0);
        shear.shear(0.0, factor);
    } else {
        factor = RatioOr(dx, dy, 0.0);
        scale = QTransform::fromScale(
            1.0, shift ? 1.0 : AwayFromZero(RatioOr(dy, start.y() - anchor_.y(), 1.0)));
        shear.shear(factor, 0.0);
    }
    Report(factor * -100.0, 0.0);
    return AboutAnchor(scale * shear);
}

void CTransformTracker::TrackStep(Qt::KeyboardModifiers keys)
{
    if (SpaceDown()) {
        // Space held: the whole outline follows the pointer.
        spaceOffset_ += CurrentPoint() - PreviousPoint();
        matrix_ = modeMatrix_ * QTransform::fromTranslate(spaceOffset_.x(), spaceOffset_.y());
        Report(matrix_.dx(), matrix_.dy());
        return;
    }
    const QPointF point = CurrentPoint() - spaceOffset_;
    const bool shift = keys & Qt::ShiftModifier;
    switch (mode_) {
    case kMove: {
        const QPointF delta = shift ? Snapped(point - StartPoint()) : point - StartPoint();
        modeMatrix_ = QTransform::fromTranslate(delta.x(), delta.y());
        Report(delta.x() + spaceOffset_.x(), delta.y() + spaceOffset_.y());
        break;
    }
    case kScale:
        modeMatrix_ = ScaleStep(point, shift);
        break;
    case kRotate:
        modeMatrix_ = RotateStep(point, shift);
        break;
    case kShear:
        modeMatrix_ = ShearStep(point, shift);
        break;
    case kMovePivot: {
        const QPointF delta = shift ? Snapped(point - StartPoint()) : point - StartPoint();
        pivot_ = pivotAtPress_ + delta;
        pivotMoved_ = true;
        Report(pivot_.x(), pivot_.y());
        break;
    }
    case kIdle:
        break;
    }
    matrix_ = modeMatrix_ * QTransform::fromTranslate(spaceOffset_.x(), spaceOffset_.y());
}

void CTransformTracker::EndTrack(bool accepted)
{
    if (!accepted) {
        matrix_ = QTransform();
        if (mode_ == kMovePivot) {
            pivot_ = pivotAtPress_;
        }
    }
    mode_ = kIdle;
    flipped_ = false;
}

void CTransformTracker::Report(double first, double second) const
{
    if (listener_) {
        listener_(mode_, first, second);
    }
}

int CTransformTracker::CursorIndex(const QPointF& point, Qt::KeyboardModifiers keys,
                                   bool space) const
{
    const bool ctrlMove = (keys & Qt::ControlModifier) && (options_ & kCtrlChoosesMode);
    if (space || SpaceDown()) {
        return ctrlMove ? 6 : 5;
    }
    const int code = IsTracking() ? handle_ : HitTest(point);
    const Mode mode = IsTracking() ? mode_ : ModeFor(code, keys);
    if (code == kNoHit) {
        return kNoCursor;
    }
    if (mode == kMove || mode == kMovePivot) {
        return ctrlMove ? 6 : 5;
    }
    const int handle = code >= kOuterZone ? code - kOuterZone : code;
    if (mode == kRotate) {
        return 7;
    }
    if (mode == kShear) {
        return IsVerticalEdge(handle) ? 9 : 8;
    }
    if (IsCorner(handle)) {
        const int diagonal = (handle == 0 || handle == 4) ? 0 : 1;
        return flipped_ ? diagonal ^ 1 : diagonal;
    }
    return IsVerticalEdge(handle) ? 3 : 2;
}

void CTransformTracker::DrawTwoTone(QPainter& painter, const QPainterPath& path, bool dotted)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    QPen pen(Qt::white, 1);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.drawPath(path);
    pen.setColor(Qt::black);
    pen.setDashPattern(dotted ? QList<qreal>{1, 1} : QList<qreal>{4, 4});
    painter.setPen(pen);
    painter.drawPath(path);
    painter.restore();
}

void CTransformTracker::Draw(QPainter& painter) const
{
    if (!active_) {
        return;
    }
    const bool dotted = options_ & kFramePenStyle;
    if (IsTracking() && mode_ != kMovePivot) {
        QPainterPath feedback = matrix_.map(outline_);
        feedback.addPolygon(matrix_.map(QPolygonF(frame_)));
        feedback.closeSubpath();
        DrawTwoTone(painter, feedback, dotted);
        return;
    }
    QPainterPath frame;
    frame.addRect(frame_);
    if (RotateHandleShown()) {
        frame.moveTo(handles_[1]);
        frame.lineTo(RotateHandlePoint());
    }
    DrawTwoTone(painter, frame, dotted);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(Qt::black, 1);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.setBrush(Qt::white);
    for (int code = 0; code < kPivot; ++code) {
        painter.drawRect(HitRect(code));
    }
    if (RotateHandleShown()) {
        painter.setRenderHint(QPainter::Antialiasing);
        const double r = handleSize_ / 2.0 + 1;
        painter.drawEllipse(RotateHandlePoint(), r, r);
    }
    if (options_ & kPivotShown) {
        const double r = handleSize_ / 2.0;
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(pivot_, r, r);
        painter.drawLine(pivot_ - QPointF(2 * r, 0), pivot_ - QPointF(r, 0));
        painter.drawLine(pivot_ + QPointF(r, 0), pivot_ + QPointF(2 * r, 0));
        painter.drawLine(pivot_ - QPointF(0, 2 * r), pivot_ - QPointF(0, r));
        painter.drawLine(pivot_ + QPointF(0, r), pivot_ + QPointF(0, 2 * r));
    }
    painter.restore();
}
