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

} // namespace
