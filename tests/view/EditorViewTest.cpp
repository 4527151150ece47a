#include "CEditTool.h"
#include "CEditingState.h"
#include "CMainFrame.h"
#include "CTextItem.h"
#include "CommandIds.h"
#include "EditorViewTesting.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTest>

namespace {

void SendKey(QWidget* widget, QEvent::Type type, int key, bool repeat = false,
             Qt::KeyboardModifiers keys = Qt::NoModifier)
{
    QKeyEvent event(type, key, keys, QString(), repeat);
    QApplication::sendEvent(widget, &event);
}

void Drag(QWidget* viewport, QPoint from, QPoint to)
{
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(viewport, (from + to) / 2);
    QTest::mouseMove(viewport, to);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, to);
}

TEST_F(EditorViewTest, OpenedPicturesAreFittedAndCentred)
{
    ASSERT_EQ(Viewport()->size(), QSize(1000, 700));
    OpenPicture({2000, 2000});
    EXPECT_DOUBLE_EQ(view_->Zoom(), 0.35);
    EXPECT_EQ(view_->PictureRect(), QRect(150, 0, 700, 700));
    EXPECT_EQ(Canvas().Origin(), QPointF(150, 0));
    EXPECT_FALSE(view_->CommandStatus(cmd::kMove)->enabled);

    OpenPicture({3000, 2000});
    EXPECT_DOUBLE_EQ(view_->Zoom(), 1000.0 / 3000);
    EXPECT_EQ(view_->PictureRect(), QRect(0, 17, 1000, 667));

    OpenPicture({800, 600});
    EXPECT_DOUBLE_EQ(view_->Zoom(), 1.0);
    EXPECT_EQ(view_->PictureRect(), QRect(100, 50, 800, 600));
    EXPECT_FALSE(view_->Scrollable());
    EXPECT_FALSE(view_->CommandStatus(cmd::kMove)->enabled);
    // The frame hears of the new picture: panels emptied, base selected, zoom.
    const std::vector<unsigned> ids = frame_.TakeIds();
    EXPECT_EQ(std::vector<unsigned>(ids.end() - 5, ids.end()),
              (std::vector<unsigned>{msg::kDeleteItems, msg::kSelectItems, msg::kZoom,
                                     msg::kRefreshPanels, msg::kZoom}));
    EXPECT_EQ(frame_.sent.size(), 0u);

    // A very thin picture keeps at least one pixel on screen.
    OpenPicture({1, 3000});
    EXPECT_EQ(view_->PictureRect().width(), 1);
    EXPECT_EQ(view_->PictureRect().height(), 700);
}

TEST_F(EditorViewTest, ZoomMessageLaysOutAgainAndEnablesPanning)
{
    OpenPicture({2000, 2000});
    DropItem({100, 100}, {500, 350});
    frame_.Receive(msg::Make(msg::kZoom, msg::kZoomViewOnly, 100));
    EXPECT_DOUBLE_EQ(view_->Zoom(), 1.0);
    EXPECT_EQ(view_->PictureRect().topLeft(), QPoint(0, 0));
    EXPECT_TRUE(view_->Scrollable());
    EXPECT_GT(view_->horizontalScrollBar()->maximum(), 900);
    EXPECT_TRUE(view_->CommandStatus(cmd::kMove)->enabled);
    // The tracker follows the item to its place at the new zoom.
    EXPECT_EQ(view_->Tracker().FrameRect().toRect(), QRect(950, 950, 100, 100));

    ASSERT_TRUE(view_->RunCommand(cmd::kMove));
    EXPECT_TRUE(view_->CommandStatus(cmd::kMove)->checked);
    EXPECT_EQ(Viewport()->cursor().shape(), Qt::OpenHandCursor);
    const int before = view_->horizontalScrollBar()->value();
    Drag(Viewport(), {500, 300}, {400, 300});
    EXPECT_EQ(view_->horizontalScrollBar()->value(), before + 100);
    // A right click leaves panning.
    QTest::mouseClick(Viewport(), Qt::RightButton, Qt::NoModifier, {400, 300});
    EXPECT_FALSE(view_->CommandStatus(cmd::kMove)->checked);
}

TEST_F(EditorViewTest, OnePressSelectsAndDragsAndEmptyPictureDeselects)
{
    OpenPicture({800, 600}); // zoom 1, picture at (100, 50)
    DropItem({100, 100}, {500, 350});
    DropItem({60, 60}, {250, 200}, Qt::blue);
    ASSERT_EQ(Canvas().Count(), 3);
    frame_.sent.clear();

    // Item 1 is selected and moved by one drag.
    Drag(Viewport(), {500, 350}, {520, 360});
    EXPECT_EQ(view_->SelectedIndex(), 1);
    EXPECT_EQ(ItemBounds(1), QRectF(370, 260, 100, 100));
    EXPECT_TRUE(document_.IsModified());
    ASSERT_FALSE(frame_.sent.empty());
    EXPECT_EQ(frame_.sent.front().id, msg::kSelectItems);
    EXPECT_EQ(*frame_.sent.front().indexes, msg::IndexList{1});

    // A press on item 2 selects it and drags it at once.
    Drag(Viewport(), {250, 200}, {270, 200});
    EXPECT_EQ(view_->SelectedIndex(), 2);
    EXPECT_EQ(ItemBounds(2), QRectF(140, 120, 60, 60));
    EXPECT_EQ(ItemBounds(1), QRectF(370, 260, 100, 100));
    EXPECT_EQ(CEditingState::Instance().currentItem, Canvas().ItemAt(2));

    // Empty picture selects the base and hides the tracker.
    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, {150, 600});
    EXPECT_EQ(view_->SelectedIndex(), 0);
    EXPECT_FALSE(view_->Tracker().IsActive());
}

TEST_F(EditorViewTest, RotatingByTheOuterCornerZoneTurnsTheItem)
{
    OpenWithSelectedItem({100, 60});
    const QRectF frame = view_->Tracker().FrameRect();
    // Just outside the top-right corner handle, turned a quarter round the
    // opposite corner.
    const QPoint outside = frame.topRight().toPoint() + QPoint(6, -6);
    Drag(Viewport(), outside, outside + QPoint(40, 80));
    // The top edge of the outline is no longer level.
    const QPainterPath& outline = Canvas().ItemAt(1)->Outline();
    EXPECT_GT(std::abs(outline.elementAt(1).y - outline.elementAt(0).y), 10);
    EXPECT_NE(ItemBounds(1).size(), QSizeF(100, 60));
}

TEST_F(EditorViewTest, PaintingShowsTheFrameTheGuidelineAndTheCropTint)
{
    OpenPicture({800, 600}); // picture at (100, 50), dark cyan
    ASSERT_TRUE(view_->RunCommand(cmd::kGuideline));
    QTest::mouseMove(Viewport(), {300, 200});
    QImage shown = Viewport()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(50, 20), QColor(Qt::white));
    EXPECT_EQ(shown.pixelColor(99, 300), QColor(Qt::black));
    EXPECT_EQ(shown.pixelColor(400, 650), QColor(Qt::black));
    EXPECT_EQ(shown.pixelColor(500, 400), QColor(Qt::darkCyan));
    EXPECT_EQ(shown.pixelColor(300, 500), CEditTool::kGuideColour);
    EXPECT_EQ(shown.pixelColor(30, 200), CEditTool::kGuideColour);
    // The pointer leaving the view takes the lines with it.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(Viewport(), &leave);
    EXPECT_EQ(Viewport()->grab().toImage().pixelColor(30, 200), QColor(Qt::white));

    ASSERT_TRUE(view_->RunCommand(cmd::kCropFree));
    QTest::mouseMove(Viewport(), {300, 200});
    Drag(Viewport(), {200, 150}, {400, 300});
    shown = Viewport()->grab().toImage();
    // Inside the selection the picture shows as it is; outside it is tinted.
    EXPECT_EQ(shown.pixelColor(300, 250), QColor(Qt::darkCyan));
    EXPECT_GT(shown.pixelColor(600, 500).red(), QColor(Qt::darkCyan).red() + 40);
}

TEST_F(EditorViewTest, DeleteRefusesTheBaseAndRemovesAnItem)
{
    OpenPicture({800, 600});
    DropItem({100, 100}, {500, 350});
    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, {150, 600});
    ASSERT_EQ(view_->SelectedIndex(), 0);
    QTest::keyClick(view_.get(), Qt::Key_Delete);
    EXPECT_EQ(refusals_, QStringList{"원본이미지는 삭제할 수 없습니다."});
    EXPECT_EQ(Canvas().Count(), 2);

    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, {500, 350});
    QTest::keyClick(view_.get(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(Canvas().Count(), 1);
    EXPECT_EQ(view_->SelectedIndex(), 0);
    EXPECT_FALSE(view_->Tracker().IsActive());
}

TEST_F(EditorViewTest, ArrowsNudgeTheFrameAndCommitOnRelease)
{
    OpenWithSelectedItem({100, 100});
    const QRectF start = ItemBounds(1);
    const QRectF frame = view_->Tracker().FrameRect();

    SendKey(view_.get(), QEvent::KeyPress, Qt::Key_Right);
    SendKey(view_.get(), QEvent::KeyPress, Qt::Key_Right, true);
    SendKey(view_.get(), QEvent::KeyRelease, Qt::Key_Right, true);
    SendKey(view_.get(), QEvent::KeyPress, Qt::Key_Right, true);
    // Only the frame moves while the key is held.
    EXPECT_EQ(view_->Tracker().FrameRect(), frame.translated(3, 0));
    EXPECT_EQ(ItemBounds(1), start);
    SendKey(view_.get(), QEvent::KeyRelease, Qt::Key_Right);
    EXPECT_EQ(ItemBounds(1), start.translated(3, 0));

    // Up pressed while Left is held goes diagonally.
    SendKey(view_.get(), QEvent::KeyPress, Qt::Key_Left);
    SendKey(view_.get(), QEvent::KeyPress, Qt::Key_Up);
    SendKey(view_.get(), QEvent::KeyRelease, Qt::Key_Left);
    EXPECT_EQ(ItemBounds(1), start.translated(3, 0));
    SendKey(view_.get(), QEvent::KeyRelease, Qt::Key_Up);
    EXPECT_EQ(ItemBounds(1), start.translated(1, -1));
}

TEST_F(EditorViewTest, ANudgeMovesTheItemSelectedDuringCropMode)
{
    OpenPicture({800, 600});
    DropItem({100, 100}, {500, 350});
    DropItem({40, 40}, {200, 200});
    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, {500, 350});
    ASSERT_EQ(view_->SelectedIndex(), 1);
    // The items panel selects the small item while the crop frame is shown.
    view_->RunCommand(cmd::kCropFree);
    frame_.Receive(msg::WithIndexes(msg::kSelectItems, msg::kFromItemsPanel, {2}));
    view_->RunCommand(cmd::kCropButton);
    ASSERT_FALSE(view_->InCropMode());
    const QRectF small = ItemBounds(2);
    SendKey(view_.get(), QEvent::KeyPress, Qt::Key_Right);
    SendKey(view_.get(), QEvent::KeyRelease, Qt::Key_Right);
    EXPECT_EQ(ItemBounds(2), small.translated(1, 0));
    EXPECT_EQ(ItemBounds(1).size(), QSizeF(100, 100));
}

TEST_F(EditorViewTest, SpaceReleasedInAnotherWindowNoLongerCounts)
{
    OpenWithSelectedItem({100, 100});
    const QPoint corner = view_->Tracker().FrameRect().bottomRight().toPoint();
    SendKey(view_.get(), QEvent::KeyPress, Qt::Key_Space);
    QTest::mouseMove(Viewport(), corner);
    EXPECT_EQ(Viewport()->cursor().shape(), Qt::SizeAllCursor);
    QFocusEvent focusOut(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(view_.get(), &focusOut);
    QTest::mouseMove(Viewport(), corner + QPoint(0, -1));
    EXPECT_EQ(Viewport()->cursor().shape(), Qt::SizeFDiagCursor);
}

TEST_F(EditorViewTest, CropPresetIsPlacedAtTheZoomAndCuts)
{
    OpenPicture({2000, 2000}); // zoom 0.35, picture at (150, 0)
    ASSERT_TRUE(view_->RunCommand(cmd::kCropPhone));
    EXPECT_TRUE(view_->InCropMode());
    EXPECT_TRUE(view_->CommandStatus(cmd::kCropButton)->checked);
    EXPECT_EQ(Viewport()->cursor().shape(), Qt::CrossCursor);
    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, {500, 350});
    EXPECT_EQ(view_->Tracker().FrameRect().toRect(), QRect(472, 329, 56, 42));
    // The crop frame never rotates: the outer zone scales like the handle.
    EXPECT_FALSE(view_->Tracker().Options() & CTransformTracker::kRotateAllowed);

    QTest::keyClick(view_.get(), Qt::Key_Return);
    EXPECT_FALSE(view_->InCropMode());
    EXPECT_EQ(Canvas().BaseSize(), QSizeF(160, 120));
    EXPECT_EQ(Canvas().Composite().size(), QSize(160, 120));
    EXPECT_EQ(view_->PictureRect().size(), QSize(56, 42));
    EXPECT_TRUE(document_.IsModified());
}

TEST_F(EditorViewTest, FreeCropKeepsItemsInPlaceWhenNotMerged)
{
    OpenPicture({800, 600}); // zoom 1, picture at (100, 50)
    DropItem({20, 20}, {150, 100});
    ASSERT_TRUE(view_->RunCommand(cmd::kCropFree));
    Drag(Viewport(), {110, 60}, {210, 110});
    prompter_.answers.push_back(CPrompter::kNo);
    ASSERT_TRUE(view_->RunCommand(cmd::kCrop));
    EXPECT_EQ(prompter_.questions,
              QStringList{"배경이미지에 아이템을 합친 후 잘라내기를 하시겠습니까?"});
    EXPECT_EQ(Canvas().BaseSize(), QSizeF(100, 50));
    EXPECT_EQ(ItemBounds(1), QRectF(30, 30, 20, 20));
}

TEST_F(EditorViewTest, CopyAndPasteCentreTheCopyOrPutItAtTheRightClick)
{
    OpenPicture({800, 600});
    DropItem({100, 100}, {200, 150});
    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, {200, 150});
    QTest::keyClick(view_.get(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(view_.get(), Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(Canvas().Count(), 3);
    EXPECT_EQ(ItemBounds(2), QRectF(350, 250, 100, 100));
    EXPECT_EQ(view_->SelectedIndex(), 2);

    QTest::mouseClick(Viewport(), Qt::RightButton, Qt::NoModifier, {50, 30});
    ASSERT_TRUE(view_->RunCommand(cmd::kPasteItem));
    EXPECT_EQ(refusals_, QStringList{"아이템이 놓일 위치가 기본 이미지 영역 밖에 있습니다."});
    EXPECT_EQ(Canvas().Count(), 3);

    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, {150, 600});
    QTest::keyClick(view_.get(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(refusals_.last(), "원본 이미지는 복사할 수 없습니다.");
}

TEST_F(EditorViewTest, DropsOutsideThePictureOrWithoutOneAreRefused)
{
    DropItem({10, 10}, {500, 350});
    EXPECT_EQ(refusals_, QStringList{"현재 편집할 이미지가 없습니다"});
    OpenPicture({800, 600});
    DropItem({10, 10}, {50, 30});
    EXPECT_EQ(refusals_.last(), "아이템이 놓일 위치가 기본 이미지 영역 밖에 있습니다.");
    EXPECT_EQ(Canvas().Count(), 1);
}

TEST_F(EditorViewTest, TurningThePictureKeepsItemsAndReportsTheSize)
{
    OpenPicture({400, 300});
    DropItem({20, 20}, view_->PictureRect().topLeft() + QPoint(30, 30));
    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier,
                      view_->PictureRect().bottomRight() - QPoint(5, 5));
    frame_.sent.clear();
    ASSERT_TRUE(view_->RunCommand(cmd::kRotateRight));
    EXPECT_EQ(Canvas().BaseSize(), QSizeF(300, 400));
    EXPECT_EQ(view_->PictureRect().size(), QSize(300, 400));
    EXPECT_EQ(ItemBounds(1), QRectF(260, 20, 20, 20));
    ASSERT_FALSE(frame_.sent.empty());
    EXPECT_EQ(frame_.sent.front().id, msg::kBaseSize);
    EXPECT_EQ(frame_.sent.front().lparam, msg::MakeLong(300, 400));
}

TEST_F(EditorViewTest, CommandsNeedAPicture)
{
    EXPECT_FALSE(view_->CommandStatus(cmd::kFileSave)->enabled);
    EXPECT_FALSE(view_->CommandStatus(cmd::kRotateRight)->enabled);
    EXPECT_TRUE(view_->CommandStatus(cmd::kFileOpen)->enabled);
    EXPECT_TRUE(view_->CommandStatus(cmd::kCropPhone)->enabled);
    EXPECT_FALSE(view_->CommandStatus(cmd::kCopyItem)->enabled);
    EXPECT_FALSE(view_->CommandStatus(cmd::kPasteItem)->enabled);
    ASSERT_TRUE(view_->RunCommand(cmd::kGuideline));
    EXPECT_TRUE(view_->CommandStatus(cmd::kGuideline)->checked);
    EXPECT_FALSE(view_->CommandStatus(cmd::kHelp).has_value());
}

TEST_F(EditorViewTest, MessagesWithoutAPictureChangeNothing)
{
    for (const msg::Message& message :
         {msg::Make(msg::kEffectsChanged), msg::WithIndexes(msg::kSelectItems, 1, {UINT32_MAX}),
          msg::WithIndexes(msg::kDeleteItems, 0, {0, 7}),
          msg::WithIndexes(msg::kMoveItem, 0, {1, 2}), msg::Make(msg::kZoom, 2, 50)}) {
        frame_.Receive(message);
    }
    EXPECT_EQ(view_->SelectedIndex(), -1);
    EXPECT_FALSE(document_.IsModified());
    // Closing has nothing to ask about.
    EXPECT_TRUE(view_->CanClose());
    EXPECT_TRUE(prompter_.questions.isEmpty());
}

// Records, for every message, whether the current item is still on the canvas.
class CCurrentItemChecker : public CMessageReceiver
{
public:
    void Receive(msg::Message) override
    {
        const CItem* current = CEditingState::Instance().currentItem;
        const CItemCanvas& canvas = CItemCanvas::Instance();
        bool onCanvas = current == nullptr;
        for (int index = 0; index < canvas.Count(); ++index) {
            onCanvas = onCanvas || canvas.ItemAt(index) == current;
        }
        stale += onCanvas ? 0 : 1;
    }
    int stale = 0;
};

TEST_F(EditorViewTest, PanelsNeverSeeAStaleCurrentItem)
{
    CCurrentItemChecker checker;
    CScriptedPrompter prompter;
    prompter.openFiles = {WritePicture("a.png", {80, 60}), WritePicture("b.png", {40, 30})};
    prompter.answers = {CPrompter::kYes};
    COMRImageEditorView view(document_, settings_, &checker, prompter);
    view.resize(1000, 700);
    view.show();
    view.RunCommand(cmd::kFileOpen);
    // A current item of another kind than the next base, so that the next
    // base is never made where it was.
    CEditingState::Instance().currentItem = Canvas().AddItem(std::make_unique<CTextItem>());
    view.RunCommand(cmd::kFileOpen);
    ASSERT_EQ(Canvas().BaseSize(), QSizeF(40, 30)); // at (480, 335)
    EXPECT_EQ(checker.stale, 0);

    // A crop that merges the items away.
    CEditingState::Instance().currentItem = Canvas().AddItem(std::make_unique<CTextItem>());
    view.RunCommand(cmd::kCropFree);
    Drag(view.viewport(), {485, 340}, {505, 355});
    view.RunCommand(cmd::kCrop);
    ASSERT_EQ(Canvas().BaseSize(), QSizeF(20, 15));
    EXPECT_EQ(checker.stale, 0);
}

} // namespace

namespace {

// The view in the real main frame: the frame routes its messages and keeps
// the tool bar's states current after input to the view.
TEST_F(EditorViewTest, InTheFrameToolBarStatesFollowTheView)
{
    AppSettings settings;
    COMRImageEditorDoc document;
    CScriptedPrompter prompter;
    CMainFrame frame(settings, prompter);
    prompter.openFiles.push_back(WritePicture("big.png", {2000, 2000}));
    auto* view = new COMRImageEditorView(document, settings, &frame, prompter);
    frame.SetView(view);
    frame.show();
    ASSERT_TRUE(frame.RunCommand(cmd::kFileOpen));
    frame.Receive(msg::Make(msg::kZoom, msg::kZoomToolBarAndView, 100));
    ASSERT_TRUE(frame.RunCommand(cmd::kMove));
    QTest::qWait(20); // the frame's own pending update
    QAction* move = frame.Commands().Action(cmd::kMove);
    EXPECT_TRUE(move->isChecked());

    QTest::mouseClick(view->viewport(), Qt::RightButton, Qt::NoModifier, {100, 100});
    EXPECT_TRUE(QTest::qWaitFor([move] { return !move->isChecked(); }, 2000));
    EXPECT_EQ(frame.windowTitle(), "big.png - Pixvel");
}

} // namespace
