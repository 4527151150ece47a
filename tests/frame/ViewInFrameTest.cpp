// The real view in the real main frame, driven as a user drives it: clicks,
// drags and key presses on the view, commands from the frame, and what the
// panel bars hear of it.
#include "CImageToolBar.h"
#include "CItemBar.h"
#include "CItemCanvas.h"
#include "CMainFrame.h"
#include "COMRImageEditorDoc.h"
#include "COMRImageEditorView.h"
#include "CPictureItem.h"
#include "CPrompter.h"
#include "CommandIds.h"
#include "DialogTesting.h"
#include "EditorWindowTesting.h"
#include "QtTranslations.h"
#include "ScriptedPrompter.h"
#include "ViewInFrameTesting.h"

#include <QAbstractButton>
#include <QMenu>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// A button's text without its mnemonic ("예(&Y)" reads "예").
QString Caption(const QAbstractButton* button)
{
    return button->text().remove(QRegularExpression(QStringLiteral("\\(&.\\)$"))).remove('&');
}

// Writes down, in one shared log, what a panel bar hears: the placements
// and the numbered messages.
class CBarRecorder : public CMessageReceiver, public CPlacementReceiver
{
public:
    CBarRecorder(QString name, QStringList* log) : name_(std::move(name)), log_(log) {}

    void Receive(msg::Message message) override
    {
        log_->append(QStringLiteral("%1 0x%2").arg(name_).arg(message.id, 0, 16));
        if (message.id == msg::kDeleteItems && message.indexes) {
            deleted.push_back(*message.indexes);
        }
    }
    void PictureOpened(const QString& path) override
    {
        log_->append(QStringLiteral("%1 opened %2").arg(name_, path));
    }
    void ItemPlaced(const QString& label) override
    {
        log_->append(QStringLiteral("%1 placed %2").arg(name_, label));
    }
    void TextPlaced(const QString& name) override
    {
        log_->append(QStringLiteral("%1 placed text %2").arg(name_, name));
    }

    std::vector<msg::IndexList> deleted;

private:
    QString name_;
    QStringList* log_;
};

class ViewInFrameTest : public WidgetTest, protected CEditorWindow<>
{
protected:
    ViewInFrameTest() { ShowViewInFrame(frame_, toolBar_, itemBar_); }

    // Opens a picture through File Open and forgets what the bars heard.
    QString Open(QSize size)
    {
        const QString path = WritePicture("picture.png", size);
        prompter_.openFiles = {path};
        prompter_.answers = {CPrompter::kDiscard}; // when there are changes
        EXPECT_TRUE(frame_.RunCommand(cmd::kFileOpen));
        log_.clear();
        return path;
    }

    // Drops items as the item library does (point in screen coordinates).
    void Drop(const QStringList& names, QPoint at)
    {
        msg::ItemDropRequest request;
        const QPoint screen = Viewport()->mapToGlobal(at - view_->ScrollOffset());
        request.x = screen.x();
        request.y = screen.y();
        for (const QString& name : names) {
            QImage picture(40, 30, QImage::Format_ARGB32_Premultiplied);
            picture.fill(Qt::red);
            request.entries.push_back({name, picture});
        }
        frame_.Receive(msg::WithDrop(std::move(request)));
    }

    // A view point in the window's coordinates, as QTest clicks take it.
    QPoint Client(QPointF view) const { return (view - QPointF(view_->ScrollOffset())).toPoint(); }

    void Click(QPointF view, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(Viewport(), button, Qt::NoModifier, Client(view));
    }

    void Press(int key, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        QTest::keyClick(view_, Qt::Key(key), keys);
    }

    QStringList SourceNames() const
    {
        QStringList names;
        for (int index = 1; index < Canvas().Count(); ++index) {
            names.append(dynamic_cast<const CPictureItem*>(Canvas().ItemAt(index))->SourceName());
        }
        return names;
    }

    QStringList log_;
    CBarRecorder toolBar_{"toolbar", &log_};
    CBarRecorder itemBar_{"itembar", &log_};
};

// New and Open tell both bars the new picture; every placed item (a drop of
// several, a paste) is told to both bars before the selection that follows.
TEST_F(ViewInFrameTest, BarsHearOfEveryNewPictureAndPlacedItem)
{
    const QString path = WritePicture("photo.png", {400, 300});
    prompter_.openFiles = {path};
    ASSERT_TRUE(frame_.RunCommand(cmd::kFileOpen));
    EXPECT_TRUE(log_.contains("toolbar opened " + path));
    EXPECT_LT(log_.indexOf("toolbar opened " + path), log_.indexOf("itembar opened " + path));
    EXPECT_LT(log_.indexOf("itembar opened " + path), log_.indexOf("toolbar 0x48d"));

    log_.clear();
    Drop({"a.png", "b.png"}, view_->PictureRect().center());
    EXPECT_EQ(log_, (QStringList{"toolbar placed a.png", "itembar placed a.png",
                                 "toolbar placed b.png", "itembar placed b.png", "toolbar 0x48d",
                                 "itembar 0x48d", "toolbar 0x48f"}));

    log_.clear();
    Press(Qt::Key_C, Qt::ControlModifier);
    Press(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(Canvas().Count(), 4);
    EXPECT_EQ(log_.mid(0, 3),
              (QStringList{"toolbar placed b.png", "itembar placed b.png", "toolbar 0x48d"}));

    log_.clear();
    prompter_.answers = {CPrompter::kDiscard};
    prompter_.newPictures.push_back(NewPictureSettings{{100, 80}, MakeColourRef(0, 0, 0), "n"});
    settings_.recentFiles = {folder_.filePath("x.png")};
    ASSERT_TRUE(frame_.RunCommand(cmd::kFileNew));
    EXPECT_TRUE(log_.contains("toolbar opened " + folder_.filePath("n.jpg")));
    EXPECT_TRUE(log_.contains("itembar opened " + folder_.filePath("n.jpg")));
}

// A delete request removes each named item once, from the top down, never
// the base; the bars get the same cleaned list as the view.
TEST_F(ViewInFrameTest, DeleteRequestsRemoveTheNamedItems)
{
    const std::vector<std::pair<msg::IndexList, QStringList>> cases = {
        {{1, 2}, {"c.png"}},
        {{2, 1, 2}, {"c.png"}},
        {{0, 2}, {"a.png", "c.png"}},
    };
    for (const auto& [indexes, left] : cases) {
        Open({400, 300});
        Drop({"a.png", "b.png", "c.png"}, view_->PictureRect().center());
        toolBar_.deleted.clear();
        itemBar_.deleted.clear();
        frame_.Receive(msg::WithIndexes(msg::kDeleteItems, 0, indexes));
        EXPECT_EQ(SourceNames(), left);
        ASSERT_EQ(toolBar_.deleted.size(), 1u);
        EXPECT_EQ(toolBar_.deleted, itemBar_.deleted);
        for (const uint32_t index : toolBar_.deleted[0]) {
            EXPECT_GE(index, 1u);
        }
        EXPECT_TRUE(std::is_sorted(toolBar_.deleted[0].rbegin(), toolBar_.deleted[0].rend()));
        EXPECT_EQ(int(toolBar_.deleted[0].size()), 3 - left.size());
    }
}

// Shift+Delete and Ctrl+X are the cut command's, which no window handles:
// they neither delete nor refuse.
TEST_F(ViewInFrameTest, CutKeysDoNothing)
{
    Open({400, 300});
    Drop({"a.png"}, view_->PictureRect().center());
    ASSERT_EQ(view_->SelectedIndex(), 1);
    Press(Qt::Key_Delete, Qt::ShiftModifier);
    Press(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Canvas().Count(), 2);

    Click(view_->PictureRect().topLeft() + QPointF(3, 3)); // the base picture
    ASSERT_EQ(view_->SelectedIndex(), 0);
    Press(Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_TRUE(prompter_.told.isEmpty());

    // The plain key still deletes.
    Press(Qt::Key_Delete);
    EXPECT_EQ(prompter_.told, QStringList{"원본이미지는 삭제할 수 없습니다."});
}

// A click on the white margin selects the base picture, so its menu and
// refusals work.
TEST_F(ViewInFrameTest, ClickOnTheMarginSelectsTheBasePicture)
{
    Open({200, 100});
    const QPointF margin = view_->PictureRect().topLeft() - QPointF(20, 20);
    Drop({"a.png"}, view_->PictureRect().center());
    Click(margin);
    EXPECT_EQ(view_->SelectedIndex(), 0);
    Press(Qt::Key_Delete);
    Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(prompter_.told, (QStringList{"원본이미지는 삭제할 수 없습니다.",
                                           "원본 이미지는 복사할 수 없습니다."}));

    // After crop mode nothing is selected; a right click on the margin
    // shows the item menu for the base picture.
    frame_.RunCommand(cmd::kCropFree);
    frame_.RunCommand(cmd::kCropButton);
    ASSERT_EQ(view_->SelectedIndex(), -1);
    Click(margin, Qt::RightButton);
    EXPECT_EQ(frame_.ContextIndexes(), msg::IndexList{0});
    frame_.ItemMenu()->close();
}

// The arrows nudge and never scroll, whatever the state.
TEST_F(ViewInFrameTest, ArrowsNeverScroll)
{
    Open({3000, 2000});
    frame_.Receive(msg::Make(msg::kZoom, msg::kZoomToolBarAndView, 100));
    ASSERT_TRUE(view_->Scrollable());
    view_->horizontalScrollBar()->setValue(100);
    view_->verticalScrollBar()->setValue(100);
    for (const bool pan : {false, true}) {
        if (pan) {
            ASSERT_TRUE(frame_.RunCommand(cmd::kMove));
        }
        for (const int key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down}) {
            Press(key);
        }
        EXPECT_EQ(view_->ScrollOffset(), QPoint(100, 100)) << "pan " << pan;
    }
}

// During a drag the cursor follows the drag: a corner pulled across its
// anchor mirrors the diagonal; Space held makes it the move cursor.
TEST_F(ViewInFrameTest, CursorFollowsTheTrackerDrag)
{
    Open({400, 300});
    Drop({"a.png"}, view_->PictureRect().center());
    const QPointF corner = view_->Tracker().HandlePoint(4); // bottom-right
    const QPointF anchor = view_->Tracker().HandlePoint(0);
    QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, Client(corner));
    EXPECT_EQ(Viewport()->cursor().shape(), Qt::SizeFDiagCursor);
    // Across the anchor horizontally only: the factors' signs differ.
    QTest::mouseMove(Viewport(), Client(QPointF(anchor.x() - 30, corner.y() + 10)));
    EXPECT_EQ(Viewport()->cursor().shape(), Qt::SizeBDiagCursor);
    QTest::keyPress(view_, Qt::Key_Space);
    EXPECT_EQ(Viewport()->cursor().shape(), Qt::SizeAllCursor);
    QTest::keyRelease(view_, Qt::Key_Space);
    EXPECT_EQ(Viewport()->cursor().shape(), Qt::SizeBDiagCursor);
    QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier,
                        Client(QPointF(anchor.x() - 30, corner.y() + 10)));
}

QRectF CropBounds(const COMRImageEditorView& view)
{
    const std::optional<QPainterPath> outline = view.CropSelection().PictureOutline();
    return outline ? outline->boundingRect() : QRectF(-1, -1, -1, -1);
}

// The crop selection turns and mirrors with the picture.
TEST_F(ViewInFrameTest, CropSelectionTurnsWithThePicture)
{
    Open({400, 300});
    ASSERT_EQ(view_->Zoom(), 1.0);
    frame_.RunCommand(cmd::kCropFree);
    const QPointF origin = view_->PictureRect().topLeft();
    QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, Client(origin + QPointF(10, 20)));
    QTest::mouseMove(Viewport(), Client(origin + QPointF(110, 70)));
    QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier,
                        Client(origin + QPointF(110, 70)));
    ASSERT_EQ(CropBounds(*view_), QRectF(10, 20, 100, 50));

    frame_.RunCommand(cmd::kRotateRight); // now 300 × 400
    EXPECT_EQ(CropBounds(*view_), QRectF(230, 10, 50, 100));
    frame_.RunCommand(cmd::kMirrorLeftRight);
    EXPECT_EQ(CropBounds(*view_), QRectF(20, 10, 50, 100));
    frame_.RunCommand(cmd::kMirrorTopBottom);
    EXPECT_EQ(CropBounds(*view_), QRectF(20, 290, 50, 100));
    frame_.RunCommand(cmd::kRotateLeft); // 400 × 300 again
    EXPECT_EQ(CropBounds(*view_), QRectF(290, 230, 100, 50));

    // Enter cuts the picture to the turned selection.
    Press(Qt::Key_Return);
    EXPECT_EQ(Canvas().BaseSize(), QSizeF(100, 50));
}

// A free band of no width is a selection of no size: Crop then does nothing.
// The free crop has no fixed size, even after a preset.
TEST_F(ViewInFrameTest, ZeroSizeFreeBandCropsNothing)
{
    Open({400, 300});
    frame_.RunCommand(cmd::kCropBoard);
    frame_.RunCommand(cmd::kCropBoard); // leaves crop mode
    frame_.RunCommand(cmd::kCropFree);
    EXPECT_EQ(view_->CropSelection().FixedSize(), QSize(0, 0));
    Click(view_->PictureRect().center());
    EXPECT_TRUE(view_->CropSelection().HasOutline());
    EXPECT_EQ(CropBounds(*view_).size(), QSizeF(0, 0));
    Press(Qt::Key_Return);
    EXPECT_EQ(Canvas().BaseSize(), QSizeF(400, 300));
    EXPECT_TRUE(view_->InCropMode());
    EXPECT_EQ(frame_.Commands().Action(cmd::kCropFree)->text(), "자유영역");
}

// Qt's Korean texts: the save question shows 예, 아니오, 저장 안 함 and 취소 in
// that order; a refusal shows 확인.
TEST_F(ViewInFrameTest, StandardButtonsSpeakKorean)
{
    ASSERT_TRUE(platform::LoadQtTranslations(*QCoreApplication::instance()));
    CDialogPrompter prompter;
    QStringList texts;
    auto watcher = WhenOpen<QMessageBox>([&texts](QMessageBox* box) {
        QList<QAbstractButton*> buttons = box->buttons();
        std::sort(buttons.begin(), buttons.end(), [](QAbstractButton* a, QAbstractButton* b) {
            return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x();
        });
        for (QAbstractButton* button : buttons) {
            texts.append(Caption(button));
        }
        box->button(QMessageBox::Cancel)->click();
    });
    EXPECT_EQ(prompter.AskSaveFirst(nullptr, "?"), CPrompter::kCancel);
    EXPECT_EQ(texts, (QStringList{"예", "아니오", "저장 안 함", "취소"}));

    texts.clear();
    watcher = WhenOpen<QMessageBox>([&texts](QMessageBox* box) {
        for (QAbstractButton* button : box->buttons()) {
            texts.append(Caption(button));
        }
        box->accept();
    });
    prompter.Tell(nullptr, "!");
    EXPECT_EQ(texts, QStringList{"확인"});
}

// "사진에 맞추기" from the item menu, opened on the view or on a panel's
// row: the item is stretched over the whole picture, keeping its turn, in
// one undo step.
TEST_F(ViewInFrameTest, FitToPictureStretchesTheItemOverThePictureInOneStep)
{
    Open({300, 200});
    const QPointF centre = QRectF(view_->PictureRect()).center();
    Drop({"frame.png"}, centre.toPoint());
    Drop({"b.png"}, (centre + QPointF(100, 60)).toPoint());
    ASSERT_EQ(Canvas().Count(), 3);
    Click(centre);
    ASSERT_EQ(view_->SelectedIndex(), 1);
    frame_.RunCommand(cmd::kRotateRight);
    const QPainterPath turned = Canvas().ItemAt(1)->Outline();

    QAction* fit = frame_.Commands().Action(cmd::kFitToPicture);
    ASSERT_TRUE(frame_.ItemMenu()->actions().contains(fit));
    Click(centre, Qt::RightButton);
    EXPECT_EQ(frame_.ContextIndexes(), msg::IndexList{1});
    EXPECT_TRUE(fit->isEnabled());
    fit->trigger();
    frame_.ItemMenu()->close();
    const QPainterPath fitted = Canvas().ItemAt(1)->Outline();
    EXPECT_EQ(fitted.boundingRect(), QRectF(0, 0, 300, 200));
    // Turned right, the picture's upper-left corner lies at the top right.
    EXPECT_EQ(QPointF(fitted.elementAt(0)), QPointF(300, 0));
    EXPECT_EQ(QPointF(fitted.elementAt(2)), QPointF(0, 200));
    EXPECT_EQ(view_->SelectedIndex(), 1);
    EXPECT_EQ(QColor(Canvas().Composite().pixel(1, 198)), QColor(Qt::red));
    frame_.UpdateCommands();
    EXPECT_EQ(frame_.Commands().Action(cmd::kUndo)->text(), "실행 취소 사진에 맞추기");

    // Once more changes nothing and adds no step; one undo puts it back.
    Click(centre, Qt::RightButton);
    fit->trigger();
    frame_.ItemMenu()->close();
    frame_.RunCommand(cmd::kUndo);
    EXPECT_EQ(Canvas().ItemAt(1)->Outline(), turned);
    EXPECT_EQ(QColor(Canvas().Composite().pixel(1, 198)), QColor(Qt::darkCyan));
    frame_.RunCommand(cmd::kRedo);
    EXPECT_EQ(Canvas().ItemAt(1)->Outline(), fitted);

    // The items panel's menu reaches the view through the routing table.
    frame_.Receive(msg::WithIndexes(msg::kContextMenu, msg::kFromItemsPanel, {0, 2}));
    fit->trigger();
    frame_.ItemMenu()->close();
    EXPECT_EQ(Canvas().ItemAt(2)->Outline().boundingRect(), QRectF(0, 0, 300, 200));
    EXPECT_EQ(view_->SelectedIndex(), 2);

    // Not for the base picture.
    frame_.Receive(msg::WithIndexes(msg::kContextMenu, msg::kFromItemsPanel, {0}));
    EXPECT_FALSE(fit->isEnabled());
    frame_.ItemMenu()->close();
}

} // namespace
