#pragma once

#include "CTracker.h"

#include <QPainterPath>
#include <QRectF>
#include <QTransform>

#include <array>
#include <functional>

class QPainter;

// The frame with eight handles around the selected item or the crop
// selection. A drag on it becomes a move, scale, rotation, shear or a move of
// the pivot, accumulated in one matrix that the owner applies to its outline
// when the drag ends. Everything is in view coordinates.
class CTransformTracker : public CTracker
{
public:
    enum Option : unsigned
    {
        kRotateAllowed = 0x1,
        kShearAllowed = 0x2,
        kFlipAllowed = 0x4,
        kAltTogglesAnchor = 0x8,
        kPivotShown = 0x10,
        kAltInvertsInRotation = 0x20,
        kFramePenStyle = 0x40,
        kCtrlChoosesMode = 0x200,
    };
    static constexpr unsigned kMadeOptions = 703; // 0x2BF
    static constexpr unsigned kViewOptions = 167; // 0xA7

    enum Mode : int
    {
        kIdle = 0,
        kMove = 1,
        kScale = 2,
        kRotate = 3,
        kShear = 4,
        kMovePivot = 5
    };

    // Hit codes: handles 0..7 clockwise from the top-left corner (corners
    // even), the pivot, the body, the outer zones 10..17 around 0..7, and the
    // round rotate handle above the middle of the top edge.
    static constexpr int kPivot = 8;
    static constexpr int kBody = 9;
    static constexpr int kOuterZone = 10;
    static constexpr int kRotateHandle = 18;
    static constexpr int kNoHit = -1;

    // Cursor indexes: 0, 1 diagonal; 2 vertical; 3 horizontal; 5 move; 6 move
    // with Ctrl; 7 rotate; 8, 9 shear.
    static constexpr int kNoCursor = -1;

    // Reports the mode and its two values after every step of a drag:
    // move x, y; scale width, height; rotate angle, 0; shear factor × −100, 0;
    // pivot x, y.
    using Listener = std::function<void(int mode, double first, double second)>;

    CTransformTracker();

    void Select(const QPainterPath& outline);
    void Deselect();
    bool IsActive() const { return active_; }
    void SetHandleSize(int size, int margin, int handleMargin);
    void SetOptions(unsigned options) { options_ = options; }
    unsigned Options() const { return options_; }
    // A mirrored view reports rotation angles negated.
    void SetMirrored(bool mirrored) { mirrored_ = mirrored; }
    void SetListener(Listener listener) { listener_ = std::move(listener); }

    int HitTest(const QPointF& point) const;
    // The cursor index for the point with the keys held, or kNoCursor.
    // `space`: the Space key is held (any drag then moves the whole outline).
    int CursorIndex(const QPointF& point, Qt::KeyboardModifiers keys, bool space = false) const;
    Mode CurrentMode() const { return mode_; }
    // The transform of the last drag; identity after a cancel.
    const QTransform& Matrix() const { return matrix_; }

    QRectF FrameRect() const { return frame_; }
    QPointF HandlePoint(int code) const { return handles_[size_t(code)]; }
    QPointF Pivot() const { return pivot_; }
    // The centre of the round rotate handle (shown while rotation is allowed).
    QPointF RotateHandlePoint() const;
    QRectF HitRect(int code) const;
    // Everything the pointer may grab (frame, handles, zones), or an empty
    // rectangle while no outline is shown.
    QRectF Reach() const;

    // Draws the frame, the handles and the pivot, or during a drag the outline
    // and the frame as they would become, in lines that show on any picture.
    void Draw(QPainter& painter) const;
    // Strokes a path in a two-tone dashed line: black dashes on white.
    static void DrawTwoTone(QPainter& painter, const QPainterPath& path, bool dotted = false);

protected:
    bool BeginTrack(const QPointF& point, Qt::KeyboardModifiers keys) override;
    void TrackStep(Qt::KeyboardModifiers keys) override;
    void EndTrack(bool accepted) override;
    bool CtrlCounts() const override { return mode_ != kMovePivot; }

private:
    static bool IsCorner(int handle) { return handle % 2 == 0; }
    bool RotateHandleShown() const { return options_ & kRotateAllowed; }
    // The point a drag from a handle (or the rotate handle) starts from.
    QPointF GrabPoint(int handle) const;
    static QPointF Snapped(const QPointF& delta);

    void Layout();
    bool RotateApplies(int code, Qt::KeyboardModifiers keys) const;
    bool ShearApplies(int code, Qt::KeyboardModifiers keys) const;
    Mode ModeFor(int code, Qt::KeyboardModifiers keys) const;
    QPointF AnchorFor(int handle, Qt::KeyboardModifiers keys) const;
    QTransform AboutAnchor(const QTransform& transform) const;
    QTransform ScaleStep(const QPointF& point, bool shift);
    QTransform RotateStep(const QPointF& point, bool shift);
    QTransform ShearStep(const QPointF& point, bool shift);
    void Report(double first, double second) const;

    bool active_ = false;
    unsigned options_ = kMadeOptions;
    bool mirrored_ = false;
    int handleSize_ = 6;
    int margin_ = 0;
    int handleMargin_ = 0;
    QPainterPath outline_;
    QRectF frame_;
    std::array<QPointF, 8> handles_{};
    QPointF pivot_;
    bool pivotMoved_ = false;

    Mode mode_ = kIdle;
    int handle_ = kNoHit; // the handle the drag holds (0..7)
    QPointF anchor_;
    QPointF pivotAtPress_;
    double startAngle_ = 0.0;
    bool flipped_ = false;  // the scale factors have opposite signs
    QPointF spaceOffset_;   // movement made while Space was held
    QTransform modeMatrix_; // the transform of the mode alone
    QTransform matrix_;
    Listener listener_;
};
