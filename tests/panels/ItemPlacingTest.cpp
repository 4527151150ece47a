// The item library in the real editor window: a double-click or a drag
// from a category reaches the view through the main frame and places the
// sticker on the picture.

#include "AppSettings.h"
#include "CCategoryTabStrip.h"
#include "CItemBar.h"
#include "CItemLibraryPanel.h"
#include "CItemThumbnailList.h"
#include "CMainFrame.h"
#include "COMRImageEditorDoc.h"
#include "COMRImageEditorView.h"
#include "CPrompter.h"
#include "CRegistry.h"
#include "CommandIds.h"
#include "ItemLibraryTesting.h"

#include <QDialog>
#include <QTest>

namespace {

class ItemPlacingTest : public WidgetTest
{
protected:
    ItemPlacingTest()
    {
        qputenv("PIXVEL_REGISTRY_DIR", QFile::encodeName(files_.Folder("registry")));
        platform::CRegistry::Write(QStringLiteral("HKCU\\Software\\Pixvel"),
                                   QStringLiteral("APPS_PATH"), files_.Root());
        files_.Folder(QStringLiteral("items/별"));
        files_.Picture(QStringLiteral("items/별/gold.png"), {40, 40}, Qt::yellow);
        frame_ = std::make_unique<CMainFrame>(settings_, prompter_);
        view_ = new COMRImageEditorView(document_, settings_, frame_.get(), prompter_);
        frame_->SetView(view_);
        frame_->resize(1000, 760);
        frame_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(frame_.get()));
        frame_->ApplyDefaultBarSizes();

        // The picture opens at its own size.
        auto accept = WhenOpen<QDialog>([](QDialog* dialog) { dialog->accept(); });
        view_->OpenDocument(files_.Picture(QStringLiteral("photo.png"), {400, 300}, Qt::white));
        EXPECT_EQ(view_->ItemCount(), 1);
    }

    ~ItemPlacingTest() override { qunsetenv("PIXVEL_REGISTRY_DIR"); }

    CItemThumbnailList* ShowStars()
    {
        CItemLibraryPanel* panel = frame_->ItemBar()->Library();
        CCategoryTabStrip* strip = panel->TabStrip();
        EXPECT_EQ(strip->Count(), 2);
        const QPolygon tab = strip->TabShape(1);
        QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint((tab[0].x() + tab[1].x()) / 2, 5));
        CItemThumbnailList* list = panel->List();
        EXPECT_TRUE(QTest::qWaitFor([list] { return list->count() == 1; }, 5000));
        return list;
    }

    // What the used-items tab shows, once its rows have arrived.
    QStringList UsedItemsShown()
    {
        CItemLibraryPanel* panel = frame_->ItemBar()->Library();
        CCategoryTabStrip* strip = panel->TabStrip();
        const QPolygon tab = strip->TabShape(0);
        QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint((tab[0].x() + tab[1].x()) / 2, 5));
        CItemThumbnailList* list = panel->List();
        EXPECT_TRUE(list->UsedMode());
        EXPECT_TRUE(QTest::qWaitFor([list] { return !list->Loading(); }, 5000));
        return list->ShownPaths();
    }

    CItemFiles files_;
    AppSettings settings_;
    COMRImageEditorDoc document_;
    CDialogPrompter prompter_;
    std::unique_ptr<CMainFrame> frame_;
    COMRImageEditorView* view_ = nullptr;
};

TEST_F(ItemPlacingTest, DoubleClickingAStickerPlacesItOnThePicture)
{
    CItemThumbnailList* list = ShowStars();
    const QPoint row = list->visualItemRect(list->item(0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row);
    EXPECT_EQ(view_->ItemCount(), 2);
}

TEST_F(ItemPlacingTest, DraggingAStickerOntoTheViewPlacesItThereAndInsideTheListNot)
{
    CItemThumbnailList* list = ShowStars();
    QWidget* viewport = list->viewport();
    const QPoint row = list->visualItemRect(list->item(0)).center();
    const auto drag = [&](QPoint end) {
        QTest::mousePress(viewport, Qt::LeftButton, {}, row);
        QTest::mouseMove(viewport, row + QPoint(12, 0));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, end);
    };
    drag(row + QPoint(200, 0));
    EXPECT_EQ(view_->ItemCount(), 1);

    // The release lands on the middle of the picture in the view.
    const QPoint target = view_->viewport()->mapToGlobal(view_->viewport()->rect().center());
    drag(viewport->mapFromGlobal(target));
    EXPECT_EQ(view_->ItemCount(), 2);
}

TEST_F(ItemPlacingTest, TheUsedItemsTabFollowsWhatIsPlacedAndDeletedInTheView)
{
    const QString photo = files_.Path(QStringLiteral("photo.png"));
    const QString gold = files_.Path(QStringLiteral("items/별/gold.png"));
    EXPECT_EQ(UsedItemsShown(), QStringList{photo});

    CItemThumbnailList* list = ShowStars();
    const QPoint row = list->visualItemRect(list->item(0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row);
    ASSERT_EQ(view_->ItemCount(), 2);
    EXPECT_EQ(UsedItemsShown(), (QStringList{gold, photo}));

    // The placed sticker is selected; a copy of it is pasted on top.
    ASSERT_TRUE(view_->RunCommand(cmd::kCopyItem));
    ASSERT_TRUE(view_->RunCommand(cmd::kPasteItem));
    ASSERT_EQ(view_->ItemCount(), 3);
    EXPECT_EQ(UsedItemsShown(), (QStringList{gold, gold, photo}));

    // The pasted copy is selected; deleting it in the view drops its row.
    ASSERT_EQ(view_->SelectedIndex(), 2);
    view_->setFocus();
    QTest::keyClick(view_->viewport(), Qt::Key_Delete);
    ASSERT_EQ(view_->ItemCount(), 2);
    EXPECT_EQ(UsedItemsShown(), (QStringList{gold, photo}));

    // Deleting the sticker's row in the tab deletes it from the view too.
    CItemThumbnailList* used = frame_->ItemBar()->Library()->List();
    QTest::mouseClick(used->viewport(), Qt::LeftButton, {},
                      used->visualItemRect(used->item(0)).center());
    QTest::keyClick(used, Qt::Key_Delete);
    EXPECT_EQ(view_->ItemCount(), 1);
    EXPECT_EQ(UsedItemsShown(), QStringList{photo});

    // A new picture starts the list again (the changes are not to be saved).
    document_.SetModifiedFlag(false);
    auto accept = WhenOpen<QDialog>([](QDialog* dialog) { dialog->accept(); });
    const QString other = files_.Picture(QStringLiteral("other.png"), {300, 200}, Qt::blue);
    view_->OpenDocument(other);
    EXPECT_EQ(UsedItemsShown(), QStringList{other});
}

} // namespace
