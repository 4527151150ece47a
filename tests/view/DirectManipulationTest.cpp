// Dragging items with the pointer held, the rotate handle, the margin for
// handles, library stickers on a shrunk picture, the wheel and zoom keys,
// and Esc in crop mode: all driven through the real view.
#include "CEditingState.h"
#include "CTransformTracker.h"
#include "CommandIds.h"
#include "EditorViewTesting.h"

#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <cmath>

namespace {

// How many pixels of a region are pure black and pure white.
std::pair<int, int> BlackAndWhite(const QImage& image, const QRect& region)
{
    int black = 0;
    int white = 0;
    for (int y = region.top(); y <= region.bottom(); ++y) {
        for (int x = region.left(); x <= region.right(); ++x) {
            const QRgb pixel = image.pixel(x, y) & 0xFFFFFF;
            black += pixel == 0;
            white += pixel == 0xFFFFFF;
        }
    }
    return {black, white};
}

void Wheel(QWidget* viewport, QPoint at, int delta, Qt::KeyboardModifiers keys)
{
    QWheelEvent event(QPointF(at), QPointF(viewport->mapToGlobal(at)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, keys, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &event);
}

class DirectManipulationTest : public EditorViewTest
{
protected:
    QImage Shown() const { return Viewport()->grab().toImage(); }
    QColor ShownAt(QPoint point) const { return Shown().pixelColor(point); }
    QPoint OnScreen(const QPointF& point) const
    {
        return (point - view_->ScrollOffset()).toPoint();
    }

    // The picture point under a point of the window.
    QPointF PictureSpot(QPoint client) const
    {
        return QPointF(client + view_->ScrollOffset() - view_->PictureRect().topLeft()) /
               view_->Zoom();
    }

    // A sticker file of the item library, of one colour.
    msg::ItemDropRequest LibraryDrop(QSize size)
    {
        msg::ItemDropRequest request;
        request.x = request.y = -1;
        request.entries.push_back({WritePicture("sticker.png", size, Qt::yellow), QImage()});
        return request;
    }
};

TEST_F(DirectManipulationTest, TheDraggedItemIsDrawnAtItsNewPlaceWhileTheButtonIsHeld)
{
    OpenPicture({800, 600}); // zoom 1, picture at (100, 50), dark cyan
    DropItem({100, 100}, {500, 350});
    const QColor red(Qt::red);
    const QColor picture(Qt::darkCyan);

    QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, {500, 350});
    QTest::mouseMove(Viewport(), {600, 380});
    QImage shown = Shown();
    EXPECT_EQ(shown.pixelColor(600, 380), red);     // the item where it goes
    EXPECT_EQ(shown.pixelColor(470, 320), picture); // and no longer where it was
    // Its outline in black dashes on white along the top edge at y = 330.
    const auto [black, white] = BlackAndWhite(shown, QRect(555, 328, 90, 5));
    EXPECT_GT(black, 20);
    EXPECT_GT(white, 20);
    EXPECT_EQ(ItemBounds(1), QRectF(350, 250, 100, 100)); // nothing stored yet

    // Esc puts it back.
    QTest::keyClick(view_.get(), Qt::Key_Escape);
    shown = Shown();
    EXPECT_EQ(shown.pixelColor(600, 380), picture);
    EXPECT_EQ(shown.pixelColor(470, 320), red);
    QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, {600, 380});
    EXPECT_EQ(ItemBounds(1), QRectF(350, 250, 100, 100));

    // So does the right button.
    QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, {500, 350});
    QTest::mouseMove(Viewport(), {300, 200});
    EXPECT_EQ(ShownAt({300, 200}), red);
    QTest::mousePress(Viewport(), Qt::RightButton, Qt::NoModifier, {300, 200});
    EXPECT_EQ(ShownAt({300, 200}), picture);
    EXPECT_EQ(ShownAt({500, 350}), red);
    QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, {300, 200});
    EXPECT_EQ(ItemBounds(1), QRectF(350, 250, 100, 100));

    // The release stores what was shown.
    QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, {500, 350});
    QTest::mouseMove(Viewport(), {600, 380});
    QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, {600, 380});
    EXPECT_EQ(ItemBounds(1), QRectF(450, 280, 100, 100));
    EXPECT_EQ(ShownAt({600, 380}), red);
    EXPECT_EQ(ShownAt({470, 320}), picture);
}

TEST_F(DirectManipulationTest, ScalingIsShownAsItGoesAndTheFrameShowsOnAnyPicture)
{
    OpenPicture({800, 600});
    DropItem({100, 100}, {500, 350}); // view (450, 300) to (550, 400)
    const QPointF corner = view_->Tracker().HandlePoint(4);
    QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, OnScreen(corner));
    QTest::mouseMove(Viewport(), OnScreen(corner + QPointF(80, 80)));
    // Grown towards the pointer, about the opposite corner.
    EXPECT_EQ(ShownAt({620, 470}), QColor(Qt::red));
    EXPECT_EQ(ShownAt({460, 310}), QColor(Qt::red));
    QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier,
                        OnScreen(corner + QPointF(80, 80)));
    EXPECT_NEAR(ItemBounds(1).width(), 180, 1);

    // The idle frame: white handles with black rims, and a dashed frame.
    const QRectF handle = view_->Tracker().HitRect(0).translated(-view_->ScrollOffset());
    const auto [black, white] = BlackAndWhite(Shown(), handle.toAlignedRect());
    EXPECT_GT(black, 10);
    EXPECT_GT(white, 4);
}

TEST_F(DirectManipulationTest, TheRoundHandleAboveTheTopEdgeTurnsTheItemAboutItsCentre)
{
    OpenPicture({800, 600});
    DropItem({100, 60}, {500, 350});
    const CTransformTracker& tracker = view_->Tracker();
    const QPointF knob = tracker.RotateHandlePoint();
    EXPECT_NEAR(knob.x(), 500, 1);
    EXPECT_LT(knob.y(), tracker.FrameRect().top() - 12);
    EXPECT_EQ(tracker.HitTest(knob), CTransformTracker::kRotateHandle);
    // The rotate cursor (the drawn turning arrow) over it.
    QTest::mouseMove(Viewport(), OnScreen(knob));
    EXPECT_EQ(Viewport()->cursor().shape(), Qt::BitmapCursor);
    // Drawn: a round white knob with a black rim.
    EXPECT_EQ(ShownAt(OnScreen(knob)), QColor(Qt::white));

    // Pulled round to the right of the centre: a quarter turn clockwise.
    const QPointF centre = ItemBounds(1).center();
    QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, OnScreen(knob));
    QTest::mouseMove(Viewport(), OnScreen(QPointF(700, 350)));
    EXPECT_EQ(ShownAt({500, 310}), QColor(Qt::red)); // turned upright on screen
    QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, OnScreen(QPointF(700, 350)));
    EXPECT_NEAR(ItemBounds(1).width(), 60, 0.5);
    EXPECT_NEAR(ItemBounds(1).height(), 100, 0.5);
    EXPECT_NEAR(ItemBounds(1).center().x(), centre.x(), 0.5);
    EXPECT_NEAR(ItemBounds(1).center().y(), centre.y(), 0.5);

    // The crop selection never turns: no knob there.
    ASSERT_TRUE(view_->RunCommand(cmd::kCropFree));
    QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, {200, 200});
    QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, {400, 300});
    ASSERT_TRUE(tracker.IsActive());
    EXPECT_NE(tracker.HitTest(tracker.RotateHandlePoint()), CTransformTracker::kRotateHandle);
}

TEST_F(DirectManipulationTest, EveryHandleOfAnItemLargerThanThePictureCanBeReached)
{
    OpenPicture({800, 600});
    const QRect picture = view_->PictureRect();
    DropItem({2000, 1500}, {500, 350}); // view (-500, -400) to (1500, 1100)
    ASSERT_EQ(view_->SelectedIndex(), 1);
    EXPECT_EQ(view_->PictureRect(), picture); // the picture stays where it was
    const QRectF reach = view_->Tracker().Reach();
    QScrollBar* across = view_->horizontalScrollBar();
    QScrollBar* down = view_->verticalScrollBar();
    EXPECT_LE(across->minimum(), reach.left());
    EXPECT_GE(across->maximum() + Viewport()->width(), reach.right());
    EXPECT_LE(down->minimum(), reach.top());
    EXPECT_GE(down->maximum() + Viewport()->height(), reach.bottom());
    EXPECT_TRUE(view_->CommandStatus(cmd::kMove)->enabled);

    // Scrolled to the top-left, the corner handle shrinks the item.
    across->setValue(across->minimum());
    down->setValue(down->minimum());
    const QPoint corner = OnScreen(view_->Tracker().HandlePoint(0));
    ASSERT_TRUE(Viewport()->rect().contains(corner));
    QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, corner);
    QTest::mouseMove(Viewport(), corner + QPoint(200, 150));
    QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, corner + QPoint(200, 150));
    EXPECT_NEAR(ItemBounds(1).width(), 1800, 1);
    EXPECT_NEAR(ItemBounds(1).height(), 1350, 1);

    // Once the item is gone, the next layout drops the margin.
    QTest::keyClick(view_.get(), Qt::Key_Delete);
    ASSERT_EQ(Canvas().Count(), 1);
    across->setValue(0);
    down->setValue(0);
    frame_.Receive(msg::Make(msg::kZoom, msg::kZoomViewOnly, 100));
    EXPECT_EQ(across->minimum(), 0);
    EXPECT_EQ(across->maximum(), 0);
    EXPECT_FALSE(view_->CommandStatus(cmd::kMove)->enabled);
}

TEST_F(DirectManipulationTest, ALibraryStickerArrivesAtItsOwnSizeOnAShrunkPicture)
{
    OpenPicture({4000, 3000});
    const double zoom = view_->Zoom();
    ASSERT_NEAR(zoom, 0.2333, 0.001);
    frame_.Receive(msg::WithDrop(LibraryDrop({200, 100})));
    ASSERT_EQ(Canvas().Count(), 2);
    EXPECT_NEAR(ItemBounds(1).width() * zoom, 200, 0.01);
    EXPECT_NEAR(ItemBounds(1).height() * zoom, 100, 0.01);
    EXPECT_NEAR(ItemBounds(1).center().x(), 2000, 1 / zoom); // still centred
    // The sticker's own pixels are kept; only its outline is larger.
    EXPECT_EQ(Canvas().ItemAt(1)->Size(), QSizeF(200, 100));

    // Never larger than the picture.
    frame_.Receive(msg::WithDrop(LibraryDrop({1000, 1000})));
    EXPECT_NEAR(ItemBounds(2).width(), 3000, 0.01);
    EXPECT_NEAR(ItemBounds(2).height(), 3000, 0.01);

    // A dropped picture (not from the library) keeps its pixel size.
    DropItem({200, 100}, view_->PictureRect().center());
    EXPECT_EQ(ItemBounds(3).size(), QSizeF(200, 100));

    // At 100 % and above the sticker keeps its pixel size.
    frame_.Receive(msg::Make(msg::kZoom, msg::kZoomViewOnly, 100));
    frame_.Receive(msg::WithDrop(LibraryDrop({200, 100})));
    EXPECT_EQ(ItemBounds(4).size(), QSizeF(200, 100));
}

TEST_F(DirectManipulationTest, TheWheelScrollsAndCtrlWheelZoomsAboutThePointer)
{
    OpenPicture({2000, 2000}); // zoom 0.35
    frame_.Receive(msg::Make(msg::kZoom, msg::kZoomViewOnly, 100));
    QScrollBar* down = view_->verticalScrollBar();
    const int top = down->value();
    Wheel(Viewport(), {300, 200}, -120, Qt::NoModifier);
    EXPECT_GT(down->value(), top);
    EXPECT_EQ(view_->Zoom(), 1.0);

    view_->horizontalScrollBar()->setValue(500);
    down->setValue(600);
    frame_.sent.clear();
    const QPoint pointer(600, 400);
    const QPointF spot = PictureSpot(pointer);
    Wheel(Viewport(), pointer, -120, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(view_->Zoom(), 0.75);
    EXPECT_NEAR(PictureSpot(pointer).x(), spot.x(), 1.5);
    EXPECT_NEAR(PictureSpot(pointer).y(), spot.y(), 1.5);
    // The zoom page hears it through the frame.
    ASSERT_FALSE(frame_.sent.empty());
    EXPECT_EQ(frame_.sent.back().id, msg::kZoom);
    EXPECT_EQ(frame_.sent.back().wparam, msg::kZoomToolBarAndView);
    EXPECT_EQ(frame_.sent.back().lparam, 75);

    // Half notches add up; up zooms in.
    Wheel(Viewport(), pointer, 60, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(view_->Zoom(), 0.75);
    Wheel(Viewport(), pointer, 60, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(view_->Zoom(), 1.0);
    EXPECT_NEAR(PictureSpot(pointer).x(), spot.x(), 1.5);
    EXPECT_NEAR(PictureSpot(pointer).y(), spot.y(), 1.5);

    // The keys: Ctrl+= and Ctrl++ in, Ctrl+- out, Ctrl+0 fits.
    QTest::keyClick(view_.get(), Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(view_->Zoom(), 2.0);
    QTest::keyClick(view_.get(), Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(view_->Zoom(), 3.0);
    QTest::keyClick(view_.get(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(view_->Zoom(), 2.0);
    QTest::keyClick(view_.get(), Qt::Key_0, Qt::ControlModifier);
    EXPECT_LT(view_->Zoom(), 0.36);
    EXPECT_TRUE(
        Viewport()->rect().contains(view_->PictureRect().translated(-view_->ScrollOffset())));
    // The zoom page's limits hold.
    for (int step = 0; step < 6; ++step) {
        QTest::keyClick(view_.get(), Qt::Key_Minus, Qt::ControlModifier);
    }
    EXPECT_DOUBLE_EQ(view_->Zoom(), 0.1);
}

TEST_F(DirectManipulationTest, NothingZoomsDuringADragOrWithoutAPicture)
{
    Wheel(Viewport(), {300, 200}, 120, Qt::ControlModifier);
    QTest::keyClick(view_.get(), Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_TRUE(frame_.sent.empty());

    OpenPicture({800, 600});
    DropItem({100, 100}, {500, 350});
    QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, {500, 350});
    QTest::mouseMove(Viewport(), {520, 350});
    Wheel(Viewport(), {520, 350}, 120, Qt::ControlModifier);
    QTest::keyClick(view_.get(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(view_->Zoom(), 1.0);
    QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, {520, 350});
    EXPECT_EQ(ItemBounds(1), QRectF(370, 250, 100, 100));
}

TEST_F(DirectManipulationTest, EscLeavesCropModeButFirstEndsACropDrag)
{
    OpenPicture({800, 600});
    ASSERT_TRUE(view_->RunCommand(cmd::kCropFree));
    QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, {200, 150});
    QTest::mouseMove(Viewport(), {400, 300});
    QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, {400, 300});
    ASSERT_TRUE(view_->CropSelection().HasOutline());

    // Esc during a drag of the selection cancels that drag only.
    QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, {300, 220});
    QTest::mouseMove(Viewport(), {350, 250});
    QTest::keyClick(view_.get(), Qt::Key_Escape);
    QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, {350, 250});
    EXPECT_TRUE(view_->InCropMode());

    QTest::keyClick(view_.get(), Qt::Key_Escape);
    EXPECT_FALSE(view_->InCropMode());
    EXPECT_FALSE(view_->CommandStatus(cmd::kCropButton)->checked);
    EXPECT_FALSE(view_->CropSelection().HasOutline());
    EXPECT_FALSE(view_->Tracker().IsActive());
    EXPECT_EQ(CEditingState::Instance().tool, CEditingState::kEditItems);
    EXPECT_EQ(Shown().pixelColor(500, 500), QColor(Qt::darkCyan)); // no tint left
}

} // namespace
