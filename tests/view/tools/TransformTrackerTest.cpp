#include "CTransformTracker.h"

#include <QPainterPath>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr Qt::KeyboardModifiers kNoKeys = Qt::NoModifier;

// An item outline of 100 × 60 at (100, 100), tracked with the view's options.
class TransformTrackerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        outline_.addRect(100, 100, 100, 60);
        tracker_.SetHandleSize(6, 0, 0);
        tracker_.SetOptions(CTransformTracker::kViewOptions);
        tracker_.Select(outline_);
        tracker_.SetListener([this](int mode, double first, double second) {
            reports_.push_back({mode, first, second});
        });
    }

    // Presses at `from`, moves to `to` and releases there.
    int Drag(QPointF from, QPointF to, Qt::KeyboardModifiers keys = kNoKeys)
    {
        if (tracker_.Press(from, keys) != CTracker::kTracking) {
            return CTracker::kNotTaken;
        }
        tracker_.MouseMove(to, keys);
        return tracker_.Release(to, keys);
    }

    QRectF Result() const { return tracker_.Matrix().map(outline_).boundingRect(); }

    struct Report
    {
        int mode;
        double first;
        double second;
    };

    QPainterPath outline_;
    CTransformTracker tracker_;
    std::vector<Report> reports_;
};

QPointF AtAngle(QPointF centre, double degrees, double radius)
{
    const double r = degrees * std::numbers::pi / 180.0;
    return centre + QPointF(std::cos(r), std::sin(r)) * radius;
}

} // namespace

TEST_F(TransformTrackerTest, HitCodesAroundTheFrame)
{
    // Handles clockwise from the top-left; outer zones three handle sizes
    // around corners, one axis only at edges; a hidden pivot is body.
    const struct
    {
        QPointF at;
        int hit;
    } cases[] = {
        {{101, 101}, 0},
        {{150, 100}, 1},
        {{200, 100}, 2},
        {{202, 130}, 3},
        {{200, 160}, 4},
        {{150, 161}, 5},
        {{100, 160}, 6},
        {{99, 130}, 7},
        {{93, 93}, 10},
        {{150, 92}, 11},
        {{207, 167}, 14},
        {{92, 130}, 17},
        {{130, 92}, CTransformTracker::kNoHit}, // beside the edge zone
        {{150, 130}, CTransformTracker::kBody},
        {{300, 300}, CTransformTracker::kNoHit},
    };
    for (const auto& one : cases) {
        EXPECT_EQ(tracker_.HitTest(one.at), one.hit) << one.at.x() << ", " << one.at.y();
    }
    tracker_.SetOptions(CTransformTracker::kViewOptions | CTransformTracker::kPivotShown);
    EXPECT_EQ(tracker_.HitTest({150, 130}), CTransformTracker::kPivot);

    // With Ctrl choosing the mode, there are no outer zones.
    tracker_.SetOptions(CTransformTracker::kMadeOptions);
    EXPECT_EQ(tracker_.HitTest({93, 93}), CTransformTracker::kNoHit);
}

TEST_F(TransformTrackerTest, BodyCountsOnlyInsideTheOutlineBounds)
{
    tracker_.SetHandleSize(6, 4, 0); // the frame now reaches 4 pixels past the outline
    EXPECT_EQ(tracker_.HitTest({98, 115}), CTransformTracker::kNoHit);
    EXPECT_EQ(tracker_.HitTest({102, 115}), CTransformTracker::kBody);
    tracker_.Deselect();
    EXPECT_EQ(tracker_.HitTest({150, 130}), CTransformTracker::kNoHit);
    EXPECT_EQ(tracker_.Press({150, 130}, kNoKeys), CTracker::kNotTaken);
}

TEST_F(TransformTrackerTest, PressAndReleaseWithoutMovingChangesNothing)
{
    ASSERT_EQ(tracker_.Press({200, 160}, kNoKeys), CTracker::kTracking);
    EXPECT_EQ(tracker_.Release({200, 160}, kNoKeys), CTracker::kUnmoved);
    EXPECT_TRUE(tracker_.Matrix().isIdentity());
    EXPECT_EQ(Drag({300, 300}, {310, 310}), CTracker::kNotTaken);
}

TEST_F(TransformTrackerTest, BodyDragMovesAndShiftSnaps)
{
    EXPECT_EQ(Drag({150, 130}, {170, 125}), CTracker::kTransformed);
    EXPECT_EQ(Result(), QRectF(120, 95, 100, 60));
    EXPECT_EQ(Drag({150, 130}, {170, 135}, Qt::ShiftModifier), CTracker::kTransformed);
    EXPECT_EQ(Result().topLeft(), QPointF(120, 100)); // horizontal
    Drag({150, 130}, {153, 150}, Qt::ShiftModifier);
    EXPECT_EQ(Result().topLeft(), QPointF(100, 120)); // vertical
    Drag({150, 130}, {170, 142}, Qt::ShiftModifier);
    EXPECT_EQ(Result().topLeft(), QPointF(112, 112)); // diagonal, the smaller step
    EXPECT_EQ(reports_.back().mode, CTransformTracker::kMove);
    EXPECT_EQ(Drag({150, 130}, {160, 130}, Qt::ControlModifier), CTracker::kTransformedCtrl);
}

TEST_F(TransformTrackerTest, CornerScalesAboutTheOppositeCornerAndShiftKeepsAspect)
{
    EXPECT_EQ(Drag({200, 160}, {300, 190}), CTracker::kTransformed);
    EXPECT_EQ(Result(), QRectF(100, 100, 200, 90));
    EXPECT_EQ(Drag({200, 160}, {300, 190}, Qt::ShiftModifier), CTracker::kTransformed);
    EXPECT_EQ(Result(), QRectF(100, 100, 150, 90)); // both factors 1.5
    EXPECT_EQ(reports_.back().mode, CTransformTracker::kScale);
    EXPECT_DOUBLE_EQ(reports_.back().first, 150);
    EXPECT_DOUBLE_EQ(reports_.back().second, 90);
}

TEST_F(TransformTrackerTest, EdgeChangesOneDimension)
{
    Drag({200, 130}, {250, 170});
    EXPECT_EQ(Result(), QRectF(100, 100, 150, 60));
    Drag({150, 100}, {190, 70});
    EXPECT_EQ(Result(), QRectF(100, 70, 100, 90));
}

TEST_F(TransformTrackerTest, CrossingTheAnchorMirrorsAndTurnsTheCursor)
{
    EXPECT_EQ(tracker_.CursorIndex({200, 160}, kNoKeys), 0);
    ASSERT_EQ(tracker_.Press({200, 160}, kNoKeys), CTracker::kTracking);
    tracker_.MouseMove({50, 160}, kNoKeys); // x crosses the anchor at 100
    EXPECT_EQ(tracker_.CursorIndex({50, 160}, kNoKeys), 1);
    tracker_.Release({50, 160}, kNoKeys);
    EXPECT_EQ(Result(), QRectF(50, 100, 50, 60));
    EXPECT_LT(tracker_.Matrix().m11(), 0);

    tracker_.SetOptions(CTransformTracker::kViewOptions & ~CTransformTracker::kFlipAllowed);
    Drag({200, 160}, {50, 160});
    EXPECT_GT(tracker_.Matrix().m11(), 0);
}

TEST_F(TransformTrackerTest, ReleasingOnTheAnchorNeverFlattensTheOutline)
{
    // The right edge dropped on the left one: scaled, or sheared without Shift.
    for (const QPointF edge : {QPointF(202, 130), QPointF(207, 130)}) {
        Drag(edge, {100, 130});
        EXPECT_GT(std::abs(tracker_.Matrix().m11()), 0) << edge.x();
        EXPECT_GT(Result().width(), 0) << edge.x();
    }
}

TEST_F(TransformTrackerTest, OuterCornerRotatesAboutTheOppositeCornerInShiftSteps)
{
    const QPointF anchor(200, 160);
    const double start = std::atan2(100 - 160.0, 100 - 200.0) * 180.0 / std::numbers::pi;
    const std::pair<double, double> cases[] = {
        {-7.4, 0.0}, {7.5, 15.0}, {172.5, 180.0}, {187.5, -165.0}, {40.0, 45.0}};
    for (const auto& [turn, snapped] : cases) {
        reports_.clear();
        ASSERT_EQ(tracker_.Press({93, 93}, Qt::ShiftModifier), CTracker::kTracking);
        EXPECT_EQ(tracker_.CursorIndex({93, 93}, Qt::ShiftModifier), 7);
        tracker_.MouseMove(AtAngle(anchor, start + turn, 80), Qt::ShiftModifier);
        EXPECT_EQ(reports_.back().mode, CTransformTracker::kRotate);
        EXPECT_NEAR(reports_.back().first, snapped, 1e-9) << turn;
        const QPointF fixed = tracker_.Matrix().map(anchor);
        EXPECT_NEAR(fixed.x(), 200, 1e-9);
        EXPECT_NEAR(fixed.y(), 160, 1e-9);
        EXPECT_EQ(tracker_.Release(AtAngle(anchor, start + turn, 80), Qt::ShiftModifier),
                  CTracker::kTransformed);
    }
    // Without Shift the angle is free.
    Drag({93, 93}, AtAngle(anchor, start + 33, 80));
    EXPECT_NEAR(reports_.back().first, 33, 1e-9);
    tracker_.SetMirrored(true);
    Drag({93, 93}, AtAngle(anchor, start + 33, 80));
    EXPECT_NEAR(reports_.back().first, -33, 1e-9);
}

TEST_F(TransformTrackerTest, OuterEdgeShears)
{
    // Top edge zone: horizontal shear about the bottom edge's middle.
    EXPECT_EQ(tracker_.CursorIndex({150, 93}, kNoKeys), 8);
    EXPECT_EQ(Drag({150, 93}, {170, 93}), CTracker::kTransformed);
    EXPECT_EQ(reports_.back().mode, CTransformTracker::kShear);
    const double factor = 20.0 / (93 - 160.0);
    EXPECT_NEAR(reports_.back().first, factor * -100, 1e-9);
    const QPointF bottomLeft = tracker_.Matrix().map(QPointF(100, 160));
    const QPointF topLeft = tracker_.Matrix().map(QPointF(100, 100));
    EXPECT_NEAR(bottomLeft.x(), 100, 1e-9);
    EXPECT_NEAR(topLeft.x() - 100, factor * (100 - 160), 1e-9);

    // Right edge zone with Shift: a pure vertical shear, the width stays.
    EXPECT_EQ(tracker_.CursorIndex({207, 130}, kNoKeys), 9);
    Drag({207, 130}, {250, 150}, Qt::ShiftModifier);
    const QPointF right = tracker_.Matrix().map(QPointF(200, 130));
    EXPECT_NEAR(right.x(), 200, 1e-9);
    EXPECT_NEAR(right.y(), 130 + 100 * 20.0 / 150.0, 1e-9);
}

TEST_F(TransformTrackerTest, EscapeRightButtonAndLostCaptureCancel)
{
    ASSERT_EQ(tracker_.Press({150, 130}, kNoKeys), CTracker::kTracking);
    tracker_.MouseMove({190, 150}, kNoKeys);
    EXPECT_EQ(tracker_.KeyPress(Qt::Key_Escape, kNoKeys), CTracker::kCancelled);
    EXPECT_TRUE(tracker_.Matrix().isIdentity());
    EXPECT_FALSE(tracker_.IsTracking());

    tracker_.Press({200, 160}, kNoKeys);
    tracker_.MouseMove({260, 190}, kNoKeys);
    EXPECT_EQ(tracker_.RightButton(), CTracker::kCancelled);
    EXPECT_TRUE(tracker_.Matrix().isIdentity());

    tracker_.Press({93, 93}, kNoKeys);
    tracker_.MouseMove({60, 120}, kNoKeys);
    EXPECT_EQ(tracker_.CaptureLost(), CTracker::kNotTaken);
    EXPECT_TRUE(tracker_.Matrix().isIdentity());
}

TEST_F(TransformTrackerTest, CropModeNeverRotatesOrShears)
{
    tracker_.SetOptions(CTransformTracker::kViewOptions &
                        ~(CTransformTracker::kRotateAllowed | CTransformTracker::kShearAllowed));
    for (const QPointF press : {QPointF(93, 93), QPointF(150, 92), QPointF(207, 130)}) {
        reports_.clear();
        Drag(press, press + QPointF(25, 35), Qt::ControlModifier | Qt::AltModifier);
        ASSERT_FALSE(reports_.empty());
        EXPECT_EQ(reports_.back().mode, CTransformTracker::kScale);
        const QTransform m = tracker_.Matrix();
        EXPECT_EQ(m.m12(), 0);
        EXPECT_EQ(m.m21(), 0);
    }
}

TEST_F(TransformTrackerTest, CtrlAndAltDoNotChangeTheModeWithTheViewOptions)
{
    Drag({200, 160}, {220, 170}, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(reports_.back().mode, CTransformTracker::kScale);
    Drag({93, 93}, {80, 120}, Qt::AltModifier);
    EXPECT_EQ(reports_.back().mode, CTransformTracker::kRotate);
    EXPECT_NEAR(tracker_.Matrix().map(QPointF(200, 160)).x(), 200, 1e-9); // opposite corner
}

TEST_F(TransformTrackerTest, SpaceMovesTheWholeOutlineDuringAnyDrag)
{
    ASSERT_EQ(tracker_.Press({200, 160}, kNoKeys), CTracker::kTracking);
    tracker_.MouseMove({220, 160}, kNoKeys); // scale x by 1.2
    tracker_.KeyPress(Qt::Key_Space, kNoKeys);
    EXPECT_EQ(tracker_.CursorIndex({220, 160}, kNoKeys), 5);
    tracker_.MouseMove({230, 170}, kNoKeys); // moves by (10, 10)
    tracker_.KeyRelease(Qt::Key_Space, kNoKeys);
    EXPECT_EQ(tracker_.Release({230, 170}, kNoKeys), CTracker::kTransformed);
    EXPECT_EQ(Result(), QRectF(110, 110, 120, 60));
}

TEST_F(TransformTrackerTest, PivotMovesWhenShownAndReleasesAsPlainTransform)
{
    tracker_.SetOptions(CTransformTracker::kMadeOptions);
    EXPECT_EQ(Drag({150, 130}, {160, 140}, Qt::ControlModifier), CTracker::kTransformed);
    EXPECT_EQ(tracker_.Pivot(), QPointF(160, 140));
    EXPECT_TRUE(tracker_.Matrix().isIdentity());
    // Without Alt a rotation turns about the pivot: for rotations the Alt
    // choice of anchor is inverted.
    Drag({200, 160}, {200, 200}, Qt::ControlModifier);
    EXPECT_EQ(reports_.back().mode, CTransformTracker::kRotate);
    EXPECT_NEAR(tracker_.Matrix().map(QPointF(160, 140)).x(), 160, 1e-9);
}

TEST_F(TransformTrackerTest, RoundHandleTurnsAboutTheCentreAndReachCoversEveryZone)
{
    // Four handle sizes above the top-middle handle, clear of its zone.
    EXPECT_EQ(tracker_.RotateHandlePoint(), QPointF(150, 76));
    EXPECT_EQ(tracker_.HitTest({150, 76}), CTransformTracker::kRotateHandle);
    EXPECT_EQ(tracker_.HitTest({155, 81}), CTransformTracker::kRotateHandle);
    EXPECT_EQ(tracker_.HitTest({150, 92}), 11); // the top edge's zone still shears
    EXPECT_EQ(tracker_.CursorIndex({150, 76}, kNoKeys), 7);

    // Dragged a quarter round the centre (150, 130), Shift in 15° steps.
    reports_.clear();
    EXPECT_EQ(Drag({150, 76}, AtAngle({150, 130}, 2, 54), Qt::ShiftModifier),
              CTracker::kTransformed);
    EXPECT_EQ(reports_.back().mode, CTransformTracker::kRotate);
    EXPECT_DOUBLE_EQ(reports_.back().first, 90);
    EXPECT_NEAR(Result().center().x(), 150, 1e-9);
    EXPECT_NEAR(Result().center().y(), 130, 1e-9);
    EXPECT_NEAR(Result().width(), 60, 1e-9);

    // Everything the pointer may grab lies within the reach.
    const QRectF reach = tracker_.Reach();
    for (const int code : {0, 2, 4, 6, 10, 12, 14, 16, CTransformTracker::kRotateHandle}) {
        EXPECT_TRUE(reach.contains(tracker_.HitRect(code))) << code;
    }
    EXPECT_EQ(reach.top(), 70);

    // Without rotation (crop mode) there is no round handle.
    tracker_.SetOptions(CTransformTracker::kViewOptions & ~CTransformTracker::kRotateAllowed);
    EXPECT_EQ(tracker_.HitTest({150, 76}), CTransformTracker::kNoHit);
    EXPECT_EQ(tracker_.Reach().top(), 91);
    tracker_.Deselect();
    EXPECT_TRUE(tracker_.Reach().isEmpty());
}
