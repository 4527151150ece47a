// The items page on its own: rows, markers, the messages it mirrors and the
// requests it sends, driven through the list's own clicks and keys.

#include "CItemCanvas.h"
#include "CItemsPanel.h"
#include "CTextItem.h"
#include "CValueSlider.h"
#include "PanelTesting.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableWidget>
#include <QTest>

namespace {

class ItemsPanelTest : public WidgetTest
{
protected:
    ItemsPanelTest()
    {
        Canvas().Clear();
        Canvas().AddPicture(QImage(800, 600, QImage::Format_RGB32), 0, 0, 0, 0, 1.0f);
        CEditingState::Instance().currentItem = Canvas().ItemAt(0);
        panel_.resize(200, 300);
        panel_.show();
        panel_.PictureOpened(QStringLiteral("C:\\pictures\\photo.jpg"));
    }
    ~ItemsPanelTest() override
    {
        Canvas().Clear();
        CEditingState::Instance() = CEditingState();
    }

    static CItemCanvas& Canvas() { return CItemCanvas::Instance(); }

    // Places a picture on the canvas and tells the panel, as the view does.
    void Place(const QString& path)
    {
        Canvas().AddPicture(QImage(20, 20, QImage::Format_RGB32), 0, 0, 0, 0, 1.0f);
        CEditingState::Instance().currentItem = Canvas().ItemAt(Canvas().Count() - 1);
        panel_.AddRow(path);
    }
    QStringList Rows() const
    {
        QStringList rows;
        for (int row = 0; row < panel_.RowCount(); ++row) {
            rows.append(panel_.RowText(row));
        }
        return rows;
    }
    QList<bool> Markers() const
    {
        QList<bool> markers;
        for (int row = 0; row < panel_.RowCount(); ++row) {
            markers.append(panel_.Marked(row));
        }
        return markers;
    }
    void ClickRow(int row)
    {
        QTableWidget* list = panel_.List();
        const QRect cell = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    }
    const msg::Message* Last(unsigned id) const
    {
        for (auto it = window_.sent.rbegin(); it != window_.sent.rend(); ++it) {
            if (it->id == id) {
                return &*it;
            }
        }
        return nullptr;
    }

    CMainWindowRecorder window_;
    CItemsPanel panel_{&window_};
};

TEST_F(ItemsPanelTest, NamesTheBaseRowAndNewRowsGoOnTopSelectedAndMarked)
{
    EXPECT_EQ(Rows(), QStringList{"(원본 800×600) photo"});
    Place(QStringLiteral("C:\\items\\a.png"));
    Place(QStringLiteral("C:\\items\\b.png"));
    EXPECT_EQ(Rows(), (QStringList{"b", "a", "(원본 800×600) photo"}));
    EXPECT_EQ(panel_.SelectedRow(), 0);
    EXPECT_EQ(Markers(), (QList<bool>{true, false, false}));
    EXPECT_EQ(Last(msg::kSelectItems), nullptr) << "the view announces its own placement";

    EXPECT_EQ(CItemsPanel::RowName("\\a.png"), "\\a") << "a backslash at the start stays";
    EXPECT_EQ(CItemsPanel::RowName(".hidden"), ".hidden");
    EXPECT_EQ(CItemsPanel::RowName("dir\\my.photo.jpg"), "my.photo");
    EXPECT_EQ(CItemsPanel::RowName("문자열"), "문자열");
    EXPECT_EQ(CItemsPanel::RowName("/home/me/pictures/photo.png"), "photo");

    QTableWidget* list = panel_.List();
    EXPECT_TRUE(list->showGrid());
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(list->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list->columnCount(), 1);
    EXPECT_EQ(list->horizontalHeader()->sectionSize(0), 197);
    EXPECT_EQ(list->geometry(), QRect(1, 60, 198, 300 - 60 - 1));
    EXPECT_EQ(CItemsPanel::MarkerImage(1).size(), QSize(22, 19));
    EXPECT_NE(CItemsPanel::MarkerImage(0).toImage(), CItemsPanel::MarkerImage(1).toImage());
}

TEST_F(ItemsPanelTest, ClickingARowSelectsItsItemAndMessagesFromElsewhereSelectQuietly)
{
    Place("a.png");
    Place("b.png");
    ClickRow(1);
    const msg::Message* select = Last(msg::kSelectItems);
    ASSERT_NE(select, nullptr);
    EXPECT_EQ(select->wparam, msg::kFromItemsPanel);
    EXPECT_EQ(*select->indexes, msg::IndexList{1});
    EXPECT_EQ(Markers(), (QList<bool>{false, true, false}));

    window_.sent.clear();
    panel_.Receive(msg::WithIndexes(msg::kSelectItems, msg::kFromView, {0}));
    EXPECT_EQ(panel_.SelectedRow(), 2);
    EXPECT_EQ(Markers(), (QList<bool>{false, false, true}));
    EXPECT_TRUE(window_.sent.empty()) << "a selection from elsewhere is not sent back";

    panel_.Receive(msg::Make(msg::kSelectAllRows));
    EXPECT_EQ(panel_.SelectedRow(), -1) << "one row at a time: select-all selects none";
    panel_.Receive(msg::WithIndexes(msg::kSelectItems, msg::kFromView, {2}));
    panel_.Receive(msg::Make(msg::kDeselectAll));
    EXPECT_EQ(Markers(), (QList<bool>{false, false, false}));
}

TEST_F(ItemsPanelTest, DeletingTheBaseRowByKeyIsRefusedAndSendsAnEmptyList)
{
    Place("a.png");
    ClickRow(1);
    const QString refusal =
        MessageShownBy([this] { QTest::keyClick(panel_.List(), Qt::Key_Delete); });
    EXPECT_EQ(refusal, "원본이미지는 삭제할 수 없습니다.");
    const msg::Message* deleted = Last(msg::kDeleteItems);
    ASSERT_NE(deleted, nullptr);
    EXPECT_EQ(deleted->wparam, msg::kFromItemsPanel);
    EXPECT_TRUE(deleted->indexes && deleted->indexes->empty());

    ClickRow(0);
    window_.sent.clear();
    QTest::keyClick(panel_.List(), Qt::Key_D, Qt::ControlModifier);
    ASSERT_NE(Last(msg::kDeleteItems), nullptr);
    EXPECT_EQ(*Last(msg::kDeleteItems)->indexes, msg::IndexList{1});
    EXPECT_EQ(panel_.RowCount(), 2) << "the rows wait for the frame's delete message";

    panel_.Receive(msg::Make(msg::kDeselectAll));
    window_.sent.clear();
    QTest::keyClick(panel_.List(), Qt::Key_Delete);
    EXPECT_EQ(Last(msg::kDeleteItems), nullptr) << "nothing selected, nothing sent";
}

TEST_F(ItemsPanelTest, DeleteMessagesRemoveRowsAndSelectTheLayerAbove)
{
    for (const char* name : {"a.png", "b.png", "c.png"}) {
        Place(name);
    }
    panel_.Receive(msg::WithIndexes(msg::kDeleteItems, 0, {2}));
    EXPECT_EQ(Rows(), (QStringList{"c", "a", "(원본 800×600) photo"}));
    EXPECT_EQ(panel_.SelectedRow(), 0) << "c, just above b, is selected";
    EXPECT_EQ(Markers(), (QList<bool>{true, false, false}));

    panel_.Receive(msg::WithIndexes(msg::kDeleteItems, 0, {2}));
    EXPECT_EQ(panel_.SelectedRow(), -1) << "the topmost layer went: nothing is above";

    const QString refusal = MessageShownBy([this] {
        panel_.Receive(msg::WithIndexes(msg::kDeleteItems, 0, {0, 1}));
    });
    EXPECT_EQ(refusal, "원본이미지는 삭제할 수 없습니다.");
    EXPECT_EQ(Rows(), QStringList{"(원본 800×600) photo"});
    EXPECT_EQ(panel_.SelectedRow(), -1);

    panel_.Receive(msg::Make(msg::kDeleteItems));
    EXPECT_EQ(panel_.RowCount(), 0) << "no list: every row goes";
}

TEST_F(ItemsPanelTest, MovingARowSwapsItAndBaseSizeRewritesOnlyTheBaseRow)
{
    Place("a.png");
    Place("b.png");
    panel_.Receive(msg::WithIndexes(msg::kMoveItem, 0, {1, 2}));
    EXPECT_EQ(Rows(), (QStringList{"a", "b", "(원본 800×600) photo"}));
    EXPECT_EQ(panel_.SelectedRow(), 0);
    EXPECT_EQ(Markers(), (QList<bool>{true, false, false}));
    panel_.Receive(msg::WithIndexes(msg::kMoveItem, 0, {0, 2}));
    EXPECT_EQ(Rows(), (QStringList{"a", "b", "(원본 800×600) photo"})) << "the base never moves";

    panel_.Receive(msg::Make(msg::kBaseSize, 0, msg::MakeLong(320, 240)));
    EXPECT_EQ(Rows(), (QStringList{"a", "b", "(원본 320×240) photo"}));
    EXPECT_EQ(panel_.SelectedRow(), 0) << "the selection stays";
    // The same message from an item list asks to edit a text.
    panel_.Receive(msg::Make(msg::kEditItem, 1, 0));
    panel_.Receive(msg::Make(msg::kEditItem, 0, 0));
    EXPECT_EQ(Rows(), (QStringList{"a", "b", "(원본 320×240) photo"}));
}

TEST_F(ItemsPanelTest, DoubleClickOnATextRowAsksToEditItRightClickAndCopyKeysReachTheWindow)
{
    Place("a.png");
    Canvas().AddItem(std::make_unique<CTextItem>());
    // A text's row shows its name whole, where a path's rule would cut it.
    panel_.TextPlaced(QStringLiteral("3.5/10 점 받음"));
    EXPECT_EQ(Rows().first(), QStringLiteral("3.5/10 점 받음"));
    EXPECT_EQ(panel_.SelectedRow(), 0);
    QTableWidget* list = panel_.List();
    const auto centre = [list](int row) {
        return list->visualRect(list->model()->index(row, 0)).center();
    };
    const auto doubleClick = [list, &centre](int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre(row));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre(row));
    };
    doubleClick(1);
    EXPECT_EQ(Last(msg::kEditItem), nullptr) << "a picture item has no text to edit";
    doubleClick(2);
    EXPECT_EQ(Last(msg::kEditItem), nullptr) << "nor has the base picture";
    doubleClick(0);
    ASSERT_NE(Last(msg::kEditItem), nullptr);
    EXPECT_EQ(Last(msg::kEditItem)->wparam, 2);
    EXPECT_EQ(Last(msg::kEditItem)->lparam, 0);

    QContextMenuEvent menu(QContextMenuEvent::Mouse, centre(0),
                           list->viewport()->mapToGlobal(centre(0)));
    QApplication::sendEvent(list->viewport(), &menu);
    ASSERT_NE(Last(msg::kContextMenu), nullptr);
    EXPECT_EQ(Last(msg::kContextMenu)->wparam, msg::kFromItemsPanel);
    EXPECT_EQ(*Last(msg::kContextMenu)->indexes, msg::IndexList{2});

    int copies = 0;
    QAction copy(&panel_);
    copy.setData(32848);
    QObject::connect(&copy, &QAction::triggered, [&copies] { ++copies; });
    panel_.addAction(&copy);
    QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(copies, 1);
}

TEST_F(ItemsPanelTest, DraggingTheSliderSetsTheOpacityAtOnceAndReleasingAsksForARender)
{
    Place("a.png");
    CItem* item = CEditingState::Instance().currentItem;
    CValueSlider* slider = panel_.Slider();
    EXPECT_EQ(slider->Position(), 100);
    EXPECT_EQ(panel_.OpacityBox()->text(), "100");
    DragThumb(slider, 40, false);
    EXPECT_EQ(item->Effects().opacity, 40);
    EXPECT_EQ(panel_.OpacityBox()->text(), "40");
    EXPECT_EQ(window_.Take(msg::kEffectsChanged), 0);
    SendMouse(slider, QEvent::MouseButtonRelease, ThumbPoint(slider, 40));
    EXPECT_EQ(window_.Take(msg::kEffectsChanged), 1);

    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Left);
    EXPECT_EQ(item->Effects().opacity, 39);
    EXPECT_EQ(window_.Take(msg::kEffectsChanged), 1);

    CEditingState::Instance().currentItem = Canvas().ItemAt(0);
    panel_.Receive(msg::Make(msg::kRefreshPanels));
    EXPECT_EQ(slider->Position(), 100) << "the base picture's own opacity";
    CEditingState::Instance().currentItem = nullptr;
    DragThumb(slider, 10);
    EXPECT_EQ(Canvas().ItemAt(0)->Effects().opacity, 100) << "no current item, no change";
    EXPECT_EQ(panel_.OpacityBox()->text(), QString::number(slider->Position()));
    EXPECT_LT(slider->Position(), 40);
}

TEST_F(ItemsPanelTest, EnterEscapeAndBreakDoNotCloseThePage)
{
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Pause}) {
        QKeyEvent press(QEvent::KeyPress, key,
                        key == Qt::Key_Pause ? Qt::ControlModifier : Qt::NoModifier);
        QApplication::sendEvent(&panel_, &press);
        EXPECT_TRUE(press.isAccepted());
        EXPECT_TRUE(panel_.isVisible());
    }
}

} // namespace
