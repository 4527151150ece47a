// Undo and redo driven as a user drives them: edits through the real view,
// the real panels and the real main frame, Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z on
// the frame, and what the screen and both panel bars show afterwards.
#include "CAppendPictureDialog.h"
#include "CEditingState.h"
#include "CImageToolBar.h"
#include "CImageToolPanel.h"
#include "CItemBar.h"
#include "CItemCanvas.h"
#include "CItemLibraryPanel.h"
#include "CItemThumbnailList.h"
#include "CItemsPanel.h"
#include "CMainFrame.h"
#include "COMRImageEditorDoc.h"
#include "COMRImageEditorView.h"
#include "COtherPage.h"
#include "CTextDialog.h"
#include "CValueSlider.h"
#include "CommandIds.h"
#include "DialogTesting.h"
#include "EditorViewTesting.h"
#include "EditorWindowTesting.h"
#include "ScriptedPrompter.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <random>

namespace {

// What the user sees of the picture: the composite, the items panel's rows
// and selected row, the used-items list, the view's selection, and whether
// the document counts as modified.
struct Shown
{
    QImage composite;
    QStringList rows;
    int selectedRow = -1;
    QStringList used;
    int selected = -1;
    bool modified = false;
};

testing::AssertionResult Same(const Shown& shown, const Shown& expected)
{
    if (shown.composite != expected.composite) {
        return testing::AssertionFailure() << "the composite differs";
    }
    if (shown.rows != expected.rows || shown.used != expected.used) {
        return testing::AssertionFailure()
               << "rows " << shown.rows.join('|').toStdString() << " instead of "
               << expected.rows.join('|').toStdString() << ", used "
               << shown.used.join('|').toStdString() << " instead of "
               << expected.used.join('|').toStdString();
    }
    // After undo and redo the items panel shows the view's selection (after
    // an edit it may show none, or the row it had).
    const int expectedRow = int(expected.rows.size()) - expected.selected - 1;
    if (shown.selectedRow != expectedRow || shown.selected != expected.selected) {
        return testing::AssertionFailure()
               << "selection " << shown.selected << "/" << shown.selectedRow << " instead of "
               << expected.selected << "/" << expectedRow;
    }
    if (shown.modified != expected.modified) {
        return testing::AssertionFailure() << "modified " << shown.modified;
    }
    return testing::AssertionSuccess();
}

// The real view in the real main frame with its real panels; public, as the
// scripted edits below drive it too.
class UndoRedoTest : public WidgetTest, public CEditorWindow<>
{
public:
    UndoRedoTest() { ShowFrame({1200, 900}); }

    const CUndoHistory& History() const { return view_->History(); }
    CValueSlider* Slider(int id) const
    {
        return frame_.findChild<CValueSlider*>(QString::number(id));
    }

    void Open(QSize size)
    {
        prompter_.openFiles = {WritePicture("photo.png", size, QColor(200, 220, 240))};
        prompter_.answers = {CPrompter::kDiscard};
        ASSERT_TRUE(frame_.RunCommand(cmd::kFileOpen));
    }

    Shown Capture() const
    {
        Shown shown{
            Canvas().Composite().copy(), {},
            ItemsPanel()->SelectedRow(), frame_.ItemBar()->Library()->List()->UsedItems().Entries(),
            view_->SelectedIndex(),      document_.IsModified()};
        for (int row = 0; row < ItemsPanel()->RowCount(); ++row) {
            shown.rows.append(ItemsPanel()->RowText(row));
        }
        // A state the view left without a selection (a crop) comes back
        // with the base picture selected.
        shown.selected = std::max(shown.selected, 0);
        return shown;
    }

    // A key on the view, as the user presses it; the frame's commands are
    // brought up to date first, as the event loop would have.
    void Key(int key, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        if (!frame_.isActiveWindow()) { // a dialog just closed
            frame_.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&frame_));
        }
        frame_.UpdateCommands();
        QTest::keyClick(view_, Qt::Key(key), keys);
    }
    void Undo() { Key(Qt::Key_Z, Qt::ControlModifier); }
    void Redo(bool shiftZ)
    {
        shiftZ ? Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier)
               : Key(Qt::Key_Y, Qt::ControlModifier);
    }

    // A view point in the viewport's coordinates.
    QPoint Client(QPointF view) const { return (view - QPointF(view_->ScrollOffset())).toPoint(); }

    void Drop(QPointF view, QSize size, QColor colour, const QString& name)
    {
        QImage picture(size, QImage::Format_ARGB32_Premultiplied);
        picture.fill(colour);
        msg::ItemDropRequest request;
        const QPoint screen = Viewport()->mapToGlobal(Client(view));
        request.x = screen.x();
        request.y = screen.y();
        request.entries.push_back({name, picture});
        frame_.Receive(msg::WithDrop(std::move(request)));
    }

    // Selects an item by a click on its row in the items panel.
    void SelectItem(int index)
    {
        QTableWidget* list = ItemsPanel()->List();
        QTableWidgetItem* row = list->item(ItemsPanel()->RowCount() - index - 1, 0);
        ASSERT_NE(row, nullptr);
        list->scrollToItem(row);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                          list->visualItemRect(row).center());
        ASSERT_EQ(view_->SelectedIndex(), index);
    }

    void Drag(QPointF from, QPointF by)
    {
        QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, Client(from));
        QTest::mouseMove(Viewport(), Client(from + by / 2));
        QTest::mouseMove(Viewport(), Client(from + by));
        QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier, Client(from + by));
    }

    QPointF ItemCentre(int index) const
    {
        return Canvas().ItemOutlineInView(index).boundingRect().center();
    }
};

// The edits of the scripted sequence.
enum Edit : int
{
    kDrop,
    kDelete,
    kNudge,
    kDrag,
    kSlider,
    kOpacity,
    kGreyscale,
    kOrder,
    kTurnItem,
    kTurnPicture,
    kCrop,
    kAppend,
    kText,
    kEditKinds
};

class ScriptedEdits
{
public:
    explicit ScriptedEdits(UndoRedoTest& test) : test_(test) {}

    int Pick(int first, int last) { return std::uniform_int_distribution(first, last)(random_); }

    // Chooses an edit and what it works on (the selection comes first, so the
    // state before the edit shows it); false when it does not apply now.
    bool Prepare(int edit)
    {
        const int count = test_.Canvas().Count();
        const QRect picture = test_.view_->PictureRect();
        switch (edit) {
        case kDelete:
        case kNudge:
        case kDrag:
        case kTurnItem:
        case kOrder:
            if (count < 2) {
                return false;
            }
            test_.SelectItem(Pick(1, count - 1));
            return edit != kOrder || count >= 3;
        case kSlider:
        case kOpacity:
        case kGreyscale:
            test_.SelectItem(Pick(0, count - 1));
            return true;
        case kTurnPicture:
            test_.SelectItem(0);
            return true;
        case kCrop:
            return picture.width() > 150 && picture.height() > 150;
        case kAppend:
            return picture.width() < 700 && picture.height() < 600;
        default:
            return true;
        }
    }

    void Run(int edit)
    {
        const int count = test_.Canvas().Count();
        const QRectF picture = QRectF(test_.view_->PictureRect()).adjusted(12, 12, -12, -12);
        const QPointF somewhere(picture.x() + Pick(0, int(picture.width())),
                                picture.y() + Pick(0, int(picture.height())));
        switch (edit) {
        case kDrop:
            test_.Drop(somewhere, QSize(Pick(8, 60), Pick(8, 60)),
                       QColor::fromHsv(Pick(0, 359), 200, 230, Pick(120, 255)),
                       QStringLiteral("sticker%1.png").arg(Pick(1, 5)));
            break;
        case kDelete:
            test_.Key(Qt::Key_Delete);
            break;
        case kNudge:
            Nudge(Qt::Key(Qt::Key_Left + Pick(0, 3)), Pick(1, 6));
            break;
        case kDrag:
            test_.Drag(test_.ItemCentre(test_.view_->SelectedIndex()),
                       QPointF(Pick(-40, 40), Pick(-40, 40)));
            break;
        case kSlider:
            SliderKeys(test_.Slider(1004 + 2 * Pick(0, 4)));
            break;
        case kOpacity:
            SliderKeys(test_.Slider(CItemsPanel::kSlider));
            break;
        case kGreyscale:
            for (QCheckBox* box : test_.ToolPanel()->OtherPage()->findChildren<QCheckBox*>()) {
                if (box->text() == QStringLiteral("회색톤")) {
                    box->click();
                }
            }
            break;
        case kOrder:
            test_.frame_.Receive(msg::WithIndexes(
                msg::kMoveItem, 0, {uint32_t(Pick(1, count - 1)), uint32_t(Pick(1, count - 1))}));
            break;
        case kTurnItem:
        case kTurnPicture:
            test_.frame_.RunCommand(cmd::kRotateRight + Pick(0, 4));
            break;
        case kCrop:
            Crop(picture);
            break;
        case kAppend:
            Append();
            break;
        default:
            Text(somewhere);
            break;
        }
    }

private:
    void Nudge(Qt::Key arrow, int times)
    {
        for (int press = 0; press < times; ++press) {
            QTest::keyPress(test_.view_, arrow);
        }
        QTest::keyRelease(test_.view_, arrow);
    }

    void SliderKeys(CValueSlider* slider)
    {
        ASSERT_NE(slider, nullptr);
        const Qt::Key key = Pick(0, 1) != 0 ? Qt::Key_PageUp : Qt::Key_Left;
        for (int press = Pick(1, 3); press > 0; --press) {
            QTest::keyClick(slider, key);
        }
    }

    void Crop(const QRectF& picture)
    {
        ASSERT_TRUE(test_.frame_.RunCommand(cmd::kCropFree));
        const QPointF from = picture.topLeft() + QPointF(Pick(0, 30), Pick(0, 30));
        test_.Drag(from, picture.bottomRight() - QPointF(Pick(0, 30), Pick(0, 30)) - from);
        test_.prompter_.answers = {Pick(0, 1) != 0 ? CPrompter::kYes : CPrompter::kNo};
        ASSERT_TRUE(test_.frame_.RunCommand(cmd::kCrop));
    }

    void Append()
    {
        test_.prompter_.openFiles = {WriteOneColourPicture(
            test_.folder_.filePath("more.png"), QSize(Pick(20, 120), Pick(20, 120)),
            QColor::fromHsv(Pick(0, 359), 150, 200))};
        const bool merge = Pick(0, 1) != 0;
        auto dialog = WhenOpen<CAppendPictureDialog>([merge](CAppendPictureDialog* dialog) {
            if (merge) {
                dialog->findChild<QCheckBox*>("merge")->click();
            }
            dialog->findChild<QPushButton*>("ok")->click();
        });
        ASSERT_TRUE(test_.frame_.RunCommand(cmd::kAppendPicture));
    }

    void Text(QPointF at)
    {
        ASSERT_TRUE(test_.frame_.RunCommand(cmd::kNewText));
        auto dialog = WhenOpen<CTextDialog>([](CTextDialog* dialog) {
            QTest::keyClicks(dialog->findChild<QTextEdit*>("text"), "Hello");
            dialog->findChild<QPushButton*>("ok")->click();
        });
        QTest::mouseClick(test_.Viewport(), Qt::LeftButton, Qt::NoModifier, test_.Client(at));
    }

    UndoRedoTest& test_;
    std::mt19937 random_{11};
};

// After each of 40 scripted edits, undoing every step and redoing them again
// shows, step by step, exactly what was shown after each edit: the same
// composite pixel for pixel, the same panel rows and the same selection; the
// document counts as modified everywhere but at the saved step.
TEST_F(UndoRedoTest, FortyScriptedEditsUndoAndRedoStepByStep)
{
    Open({420, 320});
    ScriptedEdits edits(*this);
    std::vector<Shown> shown{Capture()};
    std::vector<int> kinds;
    int saved = 0;
    const auto expect = [&](int step) {
        Shown expected = shown[step];
        expected.modified = step != saved;
        return expected;
    };
    while (kinds.size() < 40) {
        const int edit = edits.Pick(0, kEditKinds - 1);
        if (!edits.Prepare(edit)) {
            continue;
        }
        shown.back() = Capture(); // with the selection the edit starts from
        edits.Run(edit);
        kinds.push_back(edit);
        const int top = History().Index();
        ASSERT_TRUE(top == int(shown.size()) || top == int(shown.size()) - 1) << edit;
        if (top == int(shown.size())) {
            shown.push_back(Capture());
        } else {
            shown.back() = Capture(); // merged into the step before, or no change
        }
        if (kinds.size() == 20) {
            prompter_.answers = {CPrompter::kYes};
            ASSERT_TRUE(frame_.RunCommand(cmd::kFileSave));
            saved = top;
            shown.back().modified = false;
        }
        for (int step = top - 1; step >= 0; --step) {
            Undo();
            ASSERT_TRUE(Same(Capture(), expect(step)))
                << "edit " << kinds.size() << " undo to " << step << " (kind " << edit << ")";
        }
        for (int step = 1; step <= top; ++step) {
            Redo(step % 2 == 0);
            ASSERT_TRUE(Same(Capture(), expect(step)))
                << "edit " << kinds.size() << " redo to " << step << " (kind " << edit << ")";
        }
    }
    // Every kind of edit was among them.
    for (int kind = 0; kind < kEditKinds; ++kind) {
        EXPECT_TRUE(std::find(kinds.begin(), kinds.end(), kind) != kinds.end()) << kind;
    }
}

} // namespace

namespace {

// Fifty positions of one slider, by keys or by a drag of its thumb, are one
// step; another slider, or the same slider on another item, is a step of its
// own. The edit menu names the step, and undo puts the slider back.
TEST_F(UndoRedoTest, SliderScrubsMergeIntoOneStepPerSliderAndItem)
{
    Open({300, 200});
    Drop(QRectF(view_->PictureRect()).center(), {30, 30}, Qt::red, "a.png");
    SelectItem(0);
    const int opened = History().Index();
    CValueSlider* hue = Slider(1004);
    CValueSlider* saturation = Slider(1006);
    for (int position = 0; position < 50; ++position) {
        QTest::keyClick(hue, Qt::Key_Right);
    }
    EXPECT_EQ(History().Index(), opened + 1);
    EXPECT_EQ(CEditingState::Instance().currentItem->Effects().hue, 50);
    QTest::mousePress(hue, Qt::LeftButton, {}, QPoint(hue->CentreOf(hue->Position()), 5));
    for (int position = 49; position > 0; --position) {
        QTest::mouseMove(hue, QPoint(hue->CentreOf(position), 5));
    }
    QTest::mouseRelease(hue, Qt::LeftButton, {}, QPoint(hue->CentreOf(1), 5));
    EXPECT_EQ(History().Index(), opened + 1); // the drag merged with the keys
    QTest::keyClick(saturation, Qt::Key_Left);
    EXPECT_EQ(History().Index(), opened + 2);
    SelectItem(1);
    QTest::keyClick(saturation, Qt::Key_Left);
    EXPECT_EQ(History().Index(), opened + 3);
    QTest::keyClick(Slider(CItemsPanel::kSlider), Qt::Key_Left);
    QTest::keyClick(Slider(CItemsPanel::kSlider), Qt::Key_Left);
    EXPECT_EQ(History().Index(), opened + 4);
    frame_.UpdateCommands();
    EXPECT_EQ(frame_.Commands().Action(cmd::kUndo)->text(), "실행 취소 투명도 변경");
    EXPECT_EQ(frame_.Commands().Action(cmd::kRedo)->text(), "다시 실행");
    EXPECT_FALSE(frame_.Commands().Action(cmd::kRedo)->isEnabled());

    for (int step = 0; step < 3; ++step) {
        Undo();
    }
    EXPECT_EQ(view_->SelectedIndex(), 0);
    EXPECT_EQ(Canvas().ItemAt(0)->Effects().saturation, 100);
    EXPECT_EQ(Canvas().ItemAt(1)->Effects(), ItemEffects());
    EXPECT_EQ(hue->Position(), 1); // the panel shows the item as it is now
    EXPECT_EQ(frame_.Commands().Action(cmd::kUndo)->text(), "실행 취소 효과 변경");
    EXPECT_EQ(frame_.Commands().Action(cmd::kRedo)->text(), "다시 실행 효과 변경");
    Undo();
    EXPECT_EQ(Canvas().ItemAt(0)->Effects(), ItemEffects());
    EXPECT_EQ(hue->Position(), 0);
    EXPECT_EQ(History().Index(), opened);
}

// Arrow nudges held down are one step, taken at the release; a drag of the
// tracker is one step however far it went. Open starts the history afresh.
TEST_F(UndoRedoTest, NudgesAndDragsAreOneStepEachAndOpenForgetsThem)
{
    Open({300, 200});
    Drop(QRectF(view_->PictureRect()).center(), {30, 30}, Qt::red, "a.png");
    const QRectF placed = Canvas().ItemAt(1)->Outline().boundingRect();
    const int start = History().Index();
    for (int press = 0; press < 5; ++press) {
        QTest::keyPress(view_, Qt::Key_Right);
    }
    EXPECT_EQ(History().Index(), start); // not yet released
    QTest::keyRelease(view_, Qt::Key_Right);
    EXPECT_EQ(History().Index(), start + 1);
    const QPointF centre = ItemCentre(1);
    QTest::mousePress(Viewport(), Qt::LeftButton, Qt::NoModifier, Client(centre));
    for (int step = 1; step <= 10; ++step) {
        QTest::mouseMove(Viewport(), Client(centre + QPointF(0, 2 * step)));
    }
    QTest::mouseRelease(Viewport(), Qt::LeftButton, Qt::NoModifier,
                        Client(centre + QPointF(0, 20)));
    EXPECT_EQ(History().Index(), start + 2);
    EXPECT_EQ(Canvas().ItemAt(1)->Outline().boundingRect(), placed.translated(5, 20));

    Undo();
    EXPECT_EQ(Canvas().ItemAt(1)->Outline().boundingRect(), placed.translated(5, 0));
    EXPECT_EQ(view_->Tracker().FrameRect(), Canvas().ItemOutlineInView(1).boundingRect());
    Undo();
    EXPECT_EQ(Canvas().ItemAt(1)->Outline().boundingRect(), placed);
    Undo();
    EXPECT_EQ(Canvas().Count(), 1);
    EXPECT_FALSE(document_.IsModified());
    Redo(true);
    Redo(false);
    EXPECT_EQ(Canvas().ItemAt(1)->Outline().boundingRect(), placed.translated(5, 0));
    EXPECT_TRUE(document_.IsModified());

    Open({200, 100});
    frame_.UpdateCommands();
    EXPECT_FALSE(frame_.Commands().Action(cmd::kUndo)->isEnabled());
    EXPECT_FALSE(frame_.Commands().Action(cmd::kRedo)->isEnabled());
    EXPECT_EQ(frame_.Commands().Action(cmd::kUndo)->text(), "실행 취소");
}

} // namespace
