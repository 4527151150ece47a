#include "CCategoryTabStrip.h"
#include "CItemBar.h"
#include "CItemFolder.h"
#include "CItemLibraryPanel.h"
#include "CItemThumbnailList.h"
#include "CRegistry.h"
#include "ItemLibraryTesting.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

const QString kCaption = QStringLiteral("v1.5 a/b 점수");

// An installation folder with three categories and a text.bmp, and the
// item bar showing it in a main window.
class ItemLibraryPanelTest : public WidgetTest
{
protected:
    ItemLibraryPanelTest()
    {
        for (const char* category : {"하트", "별", "flowers.2007"}) {
            files_.Folder(QStringLiteral("items/") + QString::fromUtf8(category));
        }
        files_.Picture(QStringLiteral("items/하트/red.png"), {120, 60}, Qt::red);
        files_.Picture(QStringLiteral("items/하트/pink.png"), {60, 120}, Qt::magenta);
        files_.Picture(QStringLiteral("items/별/gold.png"), {50, 50}, Qt::yellow);
        files_.Picture(QStringLiteral("items/flowers.2007/rose.png"), {40, 40}, Qt::red);
        files_.Write(QStringLiteral("items/flowers.2007/readme.txt"), "x");
        files_.Picture(QStringLiteral("text.bmp"), {80, 40}, Qt::black, "bmp");
        bar_ = new CItemBar(&log_, files_.Root(), &window_);
        window_.setCentralWidget(new QWidget);
        window_.addDockWidget(Qt::BottomDockWidgetArea, bar_);
        window_.resize(900, 400);
        window_.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window_));
        bar_->ApplyCurrentSize();
        EXPECT_TRUE(QTest::qWaitFor([this] { return Panel()->height() > 60; }, 2000));
    }

    CItemLibraryPanel* Panel() const { return bar_->Library(); }
    CItemThumbnailList* List() const { return Panel()->List(); }
    CCategoryTabStrip* Strip() const { return Panel()->TabStrip(); }

    // Clicks the tab with that caption and waits for its rows.
    void ChooseTab(const QString& caption)
    {
        for (int tab = 0; tab < Strip()->Count(); ++tab) {
            if (Strip()->Caption(tab) == caption) {
                const QPolygon shape = Strip()->TabShape(tab);
                QTest::mouseClick(Strip(), Qt::LeftButton, {},
                                  QPoint((shape[0].x() + shape[1].x()) / 2, 5));
            }
        }
        ASSERT_EQ(Strip()->Caption(Strip()->CurrentTab()), caption);
        WaitForRows();
    }

    void WaitForRows() const
    {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !List()->Loading(); }, 10000));
    }

    QStringList RowTexts() const
    {
        QStringList texts;
        for (int row = 0; row < List()->count(); ++row) {
            texts.append(List()->item(row)->text());
        }
        return texts;
    }

    QPoint RowCentre(int row) const { return List()->visualItemRect(List()->item(row)).center(); }

    // The used items of a picture with three items: a sticker, a text (whose
    // name a path's rule would cut) and a second sticker, in used mode.
    void PlaceThree()
    {
        bar_->PictureOpened(files_.Picture("photo.png", {300, 200}, Qt::green));
        bar_->ItemPlaced(files_.Path("items/하트/red.png"));
        bar_->TextPlaced(kCaption);
        bar_->ItemPlaced(files_.Path("items/별/gold.png"));
        WaitForRows();
        log_.received.clear();
    }

    CItemFiles files_;
    CMessageLog log_;
    QMainWindow window_;
    CItemBar* bar_ = nullptr;
};

TEST_F(ItemLibraryPanelTest, TabsAreUsedItemsThenTheCategoriesOverTheList)
{
    QStringList expected = CItemFolder::Categories(files_.Path("items"));
    expected.prepend(QStringLiteral("사용한 아이템"));
    ASSERT_EQ(Strip()->Count(), 4);
    for (int tab = 0; tab < 4; ++tab) {
        EXPECT_EQ(Strip()->Caption(tab), expected[tab]);
    }
    EXPECT_EQ(Strip()->CurrentTab(), 0);
    EXPECT_EQ(Strip()->MarkedTab(), 0);
    EXPECT_EQ(Strip()->BackgroundColour(), QColor(Qt::white));
    const int searchWidth = CItemLibraryPanel::kSearchWidth;
    EXPECT_EQ(Strip()->geometry(), QRect(0, 0, Panel()->width() - searchWidth, 20));
    EXPECT_EQ(Panel()->SearchField()->geometry(),
              QRect(Panel()->width() - searchWidth, 0, searchWidth, 20));
    EXPECT_EQ(AccessibleName(Panel()->SearchField()), QStringLiteral("아이템 검색"));
    EXPECT_EQ(List()->geometry(), QRect(0, 21, Panel()->width(), Panel()->height() - 21));
    EXPECT_TRUE(List()->UsedMode());
    EXPECT_EQ(List()->count(), 0);
    EXPECT_EQ(List()->iconSize(), QSize(60, 60));
    EXPECT_EQ(List()->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_FALSE(List()->accessibleName().isEmpty());
    EXPECT_EQ(List()->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(Strip()->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(Strip()->nextInFocusChain(), Panel()->SearchField());
    EXPECT_EQ(Panel()->SearchField()->nextInFocusChain(), List());
    EXPECT_FALSE(Strip()->accessibleName().isEmpty());

    CItemBar bare(&log_, files_.Path("nowhere"));
    EXPECT_EQ(bare.Library()->TabStrip()->Count(), 1);
}

TEST_F(ItemLibraryPanelTest, ACategoryShowsItsItemFilesWithThumbnails)
{
    ChooseTab(QStringLiteral("하트"));
    EXPECT_FALSE(List()->UsedMode());
    QStringList texts = RowTexts();
    texts.sort();
    EXPECT_EQ(texts, (QStringList{"pink", "red"}));
    EXPECT_EQ(List()->ShownPaths().size(), 2);
    const int red = RowTexts().indexOf("red");
    EXPECT_EQ(List()->item(red)->data(Qt::UserRole).toString(), files_.Path("items/하트/red.png"));
    const QImage icon = List()->item(red)->icon().pixmap(60, 60).toImage();
    EXPECT_EQ(icon.pixel(30, 14) & 0xFFFFFF, 0xFFFFFFU);
    EXPECT_EQ(icon.pixel(30, 20) & 0xFFFFFF, 0xFF0000U);

    ChooseTab(QStringLiteral("flowers.2007"));
    EXPECT_EQ(RowTexts(), QStringList{"rose"});
    ChooseTab(QStringLiteral("사용한 아이템"));
    EXPECT_TRUE(List()->UsedMode());
    EXPECT_EQ(List()->count(), 0);
}

TEST_F(ItemLibraryPanelTest, AnUnreadableCategoryShowsAnEmptyList)
{
    ChooseTab(QStringLiteral("별"));
    ASSERT_EQ(List()->count(), 1);
    // The folder goes away while the editor runs.
    QDir(files_.Path("items/별")).removeRecursively();
    ChooseTab(QStringLiteral("하트"));
    ChooseTab(QStringLiteral("별"));
    EXPECT_EQ(List()->count(), 0);
}

TEST_F(ItemLibraryPanelTest, DoubleClickInACategoryPlacesTheItemAtNoPoint)
{
    ChooseTab(QStringLiteral("별"));
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, RowCentre(0));
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, RowCentre(0));
    const auto placed = log_.With(msg::kPlaceItems);
    ASSERT_EQ(placed.size(), 1U);
    EXPECT_EQ(placed[0].wparam, 1);
    ASSERT_TRUE(placed[0].drop);
    EXPECT_EQ(placed[0].drop->x, -1);
    EXPECT_EQ(placed[0].drop->y, -1);
    ASSERT_EQ(placed[0].drop->entries.size(), 1U);
    EXPECT_EQ(placed[0].drop->entries[0].path, files_.Path("items/별/gold.png"));
    EXPECT_TRUE(placed[0].drop->entries[0].picture.isNull());
    EXPECT_TRUE(List()->selectedItems().isEmpty()) << "placed rows are deselected";
    EXPECT_TRUE(log_.With(msg::kSelectItems).empty()) << "no selections from a category";
}

TEST_F(ItemLibraryPanelTest, ADragOutOfTheListPlacesAtTheScreenPointAndInsideNothing)
{
    ChooseTab(QStringLiteral("별"));
    QWidget* viewport = List()->viewport();
    const QPoint start = RowCentre(0);
    const auto drag = [&](QPoint end) {
        QTest::mousePress(viewport, Qt::LeftButton, {}, start);
        QTest::mouseMove(viewport, start + QPoint(10, 0));
        QTest::mouseMove(viewport, end);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, end);
    };
    drag(QPoint(300, 40)); // still inside the list
    EXPECT_TRUE(log_.With(msg::kPlaceItems).empty());

    const QPoint above(start.x(), -150); // over the picture above the bar
    drag(above);
    const auto placed = log_.With(msg::kPlaceItems);
    ASSERT_EQ(placed.size(), 1U);
    EXPECT_EQ(QPoint(placed[0].drop->x, placed[0].drop->y), viewport->mapToGlobal(above));
    ASSERT_EQ(placed[0].drop->entries.size(), 1U);
    EXPECT_EQ(placed[0].drop->entries[0].path, files_.Path("items/별/gold.png"));
}

TEST_F(ItemLibraryPanelTest, UsedItemsListThePictureNewestFirstWithTheBaseLast)
{
    PlaceThree();
    EXPECT_EQ(RowTexts(), (QStringList{"gold", kCaption, "red", "photo"}));
    const QImage text = List()->item(1)->icon().pixmap(60, 60).toImage();
    EXPECT_EQ(text.pixel(30, 30) & 0xFFFFFF, 0U) << "text items show text.bmp";

    // In a category, additions wait for tab 0.
    ChooseTab(QStringLiteral("하트"));
    bar_->ItemPlaced(files_.Path("items/하트/pink.png"));
    EXPECT_FALSE(RowTexts().contains("gold"));
    ChooseTab(QStringLiteral("사용한 아이템"));
    EXPECT_EQ(RowTexts().first(), "pink");

    bar_->PictureOpened(files_.Path("other.png"));
    WaitForRows();
    EXPECT_EQ(RowTexts(), QStringList{"other"}) << "a missing picture still gets its row";
}

TEST_F(ItemLibraryPanelTest, SelectingARowSelectsItsItemAndSelectionsFromTheViewDoNotEcho)
{
    PlaceThree();
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, RowCentre(2));
    auto selected = log_.With(msg::kSelectItems);
    ASSERT_EQ(selected.size(), 1U);
    EXPECT_EQ(selected[0].wparam, msg::kFromItemLibrary);
    EXPECT_EQ(selected[0].indexes, msg::IndexList{1});

    log_.received.clear();
    bar_->Receive(msg::WithIndexes(msg::kSelectItems, msg::kFromView, {3}));
    EXPECT_EQ(List()->currentRow(), 0);
    EXPECT_TRUE(List()->item(0)->isSelected());
    bar_->Receive(msg::WithIndexes(msg::kSelectItems, msg::kFromView, {0}));
    EXPECT_TRUE(List()->item(3)->isSelected()) << "the base picture's row";
    EXPECT_TRUE(log_.received.empty());

    bar_->Receive(msg::Make(msg::kDeselectAll));
    EXPECT_TRUE(List()->selectedItems().isEmpty());
    List()->item(1)->setSelected(true);
    log_.received.clear();
    bar_->Receive(msg::Make(msg::kSelectAllRows));
    EXPECT_TRUE(List()->selectedItems().isEmpty());

    // A selection for a row still loading applies once it arrives.
    bar_->ItemPlaced(files_.Path("items/별/gold.png"));
    bar_->Receive(msg::WithIndexes(msg::kSelectItems, msg::kFromView, {4}));
    WaitForRows();
    EXPECT_TRUE(List()->item(0)->isSelected());
    EXPECT_TRUE(log_.With(msg::kSelectItems).empty());
}

TEST_F(ItemLibraryPanelTest, KeysAndRightClickInUsedModeActOnTheSelectedItem)
{
    PlaceThree();
    List()->setFocus();
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, RowCentre(0));
    log_.received.clear();
    QTest::keyClick(List(), Qt::Key_Delete);
    QTest::keyClick(List(), Qt::Key_D, Qt::ControlModifier);
    const auto deletes = log_.With(msg::kDeleteItems);
    ASSERT_EQ(deletes.size(), 2U);
    for (const msg::Message& message : deletes) {
        EXPECT_EQ(message.wparam, msg::kFromItemLibrary);
        EXPECT_EQ(message.indexes, msg::IndexList{3});
    }

    QContextMenuEvent menu(QContextMenuEvent::Mouse, RowCentre(0),
                           List()->viewport()->mapToGlobal(RowCentre(0)));
    QApplication::sendEvent(List()->viewport(), &menu);
    const auto menus = log_.With(msg::kContextMenu);
    ASSERT_EQ(menus.size(), 1U);
    EXPECT_EQ(menus[0].wparam, msg::kFromItemLibrary);
    EXPECT_EQ(menus[0].indexes, msg::IndexList{3});

    // Copy and paste are the main window's commands 32848 and 32849.
    std::vector<int> commands;
    for (const int id : {32848, 32849}) {
        auto* action = new QAction(&window_);
        action->setData(id);
        QObject::connect(action, &QAction::triggered, [&commands, id] { commands.push_back(id); });
        window_.addAction(action);
    }
    QTest::keyClick(List(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(List(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(commands, (std::vector<int>{32848, 32849}));

    // Double-clicking the text row asks to edit that item; other rows do not.
    log_.received.clear();
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, RowCentre(1));
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, RowCentre(2));
    const auto edits = log_.With(msg::kEditItem);
    ASSERT_EQ(edits.size(), 1U);
    EXPECT_EQ(edits[0].wparam, 2);
    EXPECT_EQ(edits[0].lparam, 0);
    EXPECT_TRUE(log_.With(msg::kPlaceItems).empty());
}

TEST_F(ItemLibraryPanelTest, DeletesAndMovesFromTheFrameRewriteTheUsedItems)
{
    PlaceThree();
    bar_->Receive(msg::WithIndexes(msg::kMoveItem, 0, {1, 3}));
    WaitForRows();
    EXPECT_EQ(RowTexts(), (QStringList{"red", "gold", kCaption, "photo"}));
    bar_->Receive(msg::WithIndexes(msg::kDeleteItems, 0, {2}));
    WaitForRows();
    EXPECT_EQ(RowTexts(), (QStringList{"red", kCaption, "photo"}));
    bar_->Receive(msg::Make(msg::kDeleteItems));
    WaitForRows();
    EXPECT_EQ(List()->count(), 0);
    EXPECT_TRUE(List()->UsedItems().Entries().isEmpty());
}

TEST_F(ItemLibraryPanelTest, SwitchingTabsWhileAFolderLoadsLeavesNoStaleRows)
{
    const QString slow = files_.Folder(QStringLiteral("items/slow"));
    for (int index = 0; index < 500; ++index) {
        files_.Picture(QStringLiteral("items/slow/p%1.png").arg(index, 3, 10, QLatin1Char('0')),
                       {300, 200}, QColor(index % 256, 80, 160));
    }
    bar_->PictureOpened(files_.Path("text.bmp"));
    CItemLibraryPanel* panel = Panel();
    // The panel enumerated its categories before "slow" existed: list it as
    // its tab would.
    for (int round = 0; round < 50; ++round) {
        List()->ListFolders({slow});
        QTest::qWait(round % 2 == 0 ? 50 : 5);
        const auto start = std::chrono::steady_clock::now();
        panel->Receive(msg::Make(msg::kTabChanged, 0));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2000));
        EXPECT_TRUE(List()->UsedMode());
        QTest::qWait(5);
        EXPECT_LE(List()->count(), 1) << "only the used items, never rows of the old folder";
    }
    WaitForRows();
    EXPECT_EQ(RowTexts(), QStringList{"text"});
    QTest::qWait(100);
    EXPECT_EQ(RowTexts(), QStringList{"text"});
}

// What the downloader does while the editor runs: a new category with
// files, more files in the shown category, a category taken away.
TEST_F(ItemLibraryPanelTest, ChangesInTheItemsFolderShowWithoutARestart)
{
    const auto captions = [this] {
        QStringList shown;
        for (int tab = 0; tab < Strip()->Count(); ++tab) {
            shown.append(Strip()->Caption(tab));
        }
        return shown;
    };
    ChooseTab(QStringLiteral("하트"));
    const QListWidgetItem* firstRow = List()->item(0);
    files_.Folder(QStringLiteral("items/꽃"));
    files_.Picture(QStringLiteral("items/꽃/tulip.png"), {40, 40}, Qt::blue);
    ASSERT_TRUE(QTest::qWaitFor([&] { return captions().contains(QStringLiteral("꽃")); }, 5000));
    EXPECT_EQ(Strip()->Caption(Strip()->CurrentTab()), QStringLiteral("하트"))
        << "the current tab stays current";
    EXPECT_EQ(Strip()->MarkedTab(), 0);
    WaitForRows();
    EXPECT_EQ(List()->count(), 2);
    EXPECT_EQ(List()->item(0), firstRow) << "another category's change leaves the list alone";

    files_.Picture(QStringLiteral("items/하트/blue.png"), {40, 40}, Qt::blue);
    ASSERT_TRUE(QTest::qWaitFor([&] { return List()->count() == 3 && !List()->Loading(); }, 5000));

    ChooseTab(QStringLiteral("꽃"));
    EXPECT_EQ(RowTexts(), QStringList{"tulip"});
    files_.Picture(QStringLiteral("items/꽃/rose.png"), {40, 40}, Qt::red);
    ASSERT_TRUE(QTest::qWaitFor([&] { return List()->count() == 2 && !List()->Loading(); }, 5000))
        << "a category made after the start is watched too";

    QDir(files_.Path("items/꽃")).removeRecursively();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !captions().contains(QStringLiteral("꽃")); }, 5000));
    EXPECT_EQ(Strip()->CurrentTab(), 0) << "a category that is gone leaves the used items";
    EXPECT_TRUE(List()->UsedMode());
}

// Typing in the search field lists the matching items of every category;
// Esc, an emptied field or a click on a tab show the tabs again.
class ItemSearchTest : public ItemLibraryPanelTest
{
protected:
    ItemSearchTest()
    {
        files_.Picture(QStringLiteral("items/하트/빨간하트.png"), {40, 40}, Qt::red);
        // A package made elsewhere may spell Hangul decomposed: 분홍하트.
        files_.Picture(QStringLiteral("items/별/") + Decomposed(QStringLiteral("분홍하트.png")),
                       {40, 40}, Qt::magenta);
        files_.Picture(QStringLiteral("items/별/Big Red Star.png"), {40, 40}, Qt::red);
    }

    QLineEdit* Field() const { return Panel()->SearchField(); }

    static QString Decomposed(const QString& text)
    {
        return text.normalized(QString::NormalizationForm_D);
    }

    // The texts of the rows once they are all there, sorted.
    QStringList Results() const
    {
        WaitForRows();
        QStringList texts = RowTexts();
        texts.sort();
        return texts;
    }

    void Type(const QString& text)
    {
        Field()->setFocus();
        CommitText(Field(), text);
    }
};

TEST_F(ItemSearchTest, TypingListsMatchesOfEveryCategoryAndEscShowsTheTabAgain)
{
    ChooseTab(QStringLiteral("flowers.2007"));
    Type(QStringLiteral("RE"));
    EXPECT_TRUE(Panel()->Searching());
    EXPECT_FALSE(List()->UsedMode());
    EXPECT_EQ(Results(), (QStringList{"Big Red Star", "red"}));
    EXPECT_EQ(Strip()->Caption(Strip()->CurrentTab()), QStringLiteral("flowers.2007"));

    // Every word counts, in any order; Korean names match whichever way
    // they were composed.
    Field()->selectAll();
    Type(QStringLiteral("star big"));
    EXPECT_EQ(Results(), QStringList{"Big Red Star"});
    Field()->selectAll();
    Type(QStringLiteral("하트"));
    EXPECT_EQ(Results().size(), 2);
    EXPECT_TRUE(Results().contains(QStringLiteral("빨간하트")));
    Type(QStringLiteral(" 분홍"));
    EXPECT_EQ(Results(), QStringList{Decomposed(QStringLiteral("분홍하트"))});
    Field()->selectAll();
    Type(QStringLiteral("없는이름"));
    EXPECT_EQ(Results(), QStringList{});

    QTest::keyClick(Field(), Qt::Key_Escape);
    EXPECT_FALSE(Panel()->Searching());
    EXPECT_TRUE(Field()->text().isEmpty());
    EXPECT_EQ(Results(), QStringList{"rose"});

    // Emptying the field by hand does the same, and from the used items.
    ChooseTab(QStringLiteral("사용한 아이템"));
    Type(QStringLiteral("gold"));
    EXPECT_EQ(Results(), QStringList{"gold"});
    QTest::keyClick(Field(), Qt::Key_Backspace);
    EXPECT_EQ(Results(), QStringList{"gold"}) << "\"gol\" still matches";
    Field()->selectAll();
    QTest::keyClick(Field(), Qt::Key_Backspace);
    EXPECT_TRUE(List()->UsedMode());
    EXPECT_EQ(List()->count(), 0);
}

TEST_F(ItemSearchTest, AResultPlacesAsFromACategory)
{
    Type(QStringLiteral("gold"));
    ASSERT_EQ(Results(), QStringList{"gold"});
    // From the field, Down goes on to the results.
    QTest::keyClick(Field(), Qt::Key_Down);
    EXPECT_TRUE(List()->hasFocus());
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, RowCentre(0));
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, RowCentre(0));
    const auto placed = log_.With(msg::kPlaceItems);
    ASSERT_EQ(placed.size(), 1U);
    EXPECT_EQ(QPoint(placed[0].drop->x, placed[0].drop->y), QPoint(-1, -1));
    ASSERT_EQ(placed[0].drop->entries.size(), 1U);
    EXPECT_EQ(placed[0].drop->entries[0].path, files_.Path("items/별/gold.png"));
    EXPECT_TRUE(log_.With(msg::kSelectItems).empty());

    // Esc in the results ends the search too.
    QTest::keyClick(List(), Qt::Key_Escape);
    EXPECT_FALSE(Panel()->Searching());
    EXPECT_TRUE(List()->UsedMode());
}

TEST_F(ItemSearchTest, ATabClickEndsTheSearchAndNewFilesAreFound)
{
    ChooseTab(QStringLiteral("하트"));
    Type(QStringLiteral("ro"));
    EXPECT_EQ(Results(), QStringList{"rose"});
    files_.Picture(QStringLiteral("items/하트/rosy.png"), {40, 40}, Qt::red);
    ASSERT_TRUE(QTest::qWaitFor([this] { return List()->ShownPaths().size() == 2; }, 5000));
    EXPECT_EQ(Results(), (QStringList{"rose", "rosy"}));

    ChooseTab(QStringLiteral("별"));
    EXPECT_FALSE(Panel()->Searching());
    EXPECT_TRUE(Field()->text().isEmpty());
    EXPECT_EQ(Results(),
              (QStringList{"Big Red Star", "gold", Decomposed(QStringLiteral("분홍하트"))}));

    // A click on the tab that was shown shows it again.
    Type(QStringLiteral("rosy"));
    EXPECT_EQ(Results(), QStringList{"rosy"});
    const QPolygon shape = Strip()->TabShape(Strip()->CurrentTab());
    QTest::mouseClick(Strip(), Qt::LeftButton, {}, QPoint((shape[0].x() + shape[1].x()) / 2, 5));
    EXPECT_FALSE(Panel()->Searching());
    EXPECT_EQ(Results().size(), 3);
}

// The sample installation's frames: a category "액자" of three pictures
// that are opaque at the rim and transparent in the middle.
TEST_F(ItemLibraryPanelTest, SampleFramesHaveATransparentMiddle)
{
    QTemporaryDir install;
    ASSERT_EQ(QProcess::execute("python3", {PIXVEL_SAMPLE_ITEMS, install.path()}), 0);
    CItemBar samples(&log_, install.path());
    CCategoryTabStrip* strip = samples.Library()->TabStrip();
    QStringList captions;
    for (int tab = 0; tab < strip->Count(); ++tab) {
        captions.append(strip->Caption(tab));
    }
    EXPECT_TRUE(captions.contains(QStringLiteral("액자")));
    const QStringList files = CItemFolder::ItemFiles(QDir(install.path()).filePath("items/액자"));
    ASSERT_EQ(files.size(), 3);
    for (const QString& file : files) {
        const QImage frame(file);
        ASSERT_FALSE(frame.isNull()) << file.toStdString();
        EXPECT_EQ(qAlpha(frame.pixel(frame.width() / 2, frame.height() / 2)), 0);
        EXPECT_EQ(qAlpha(frame.pixel(frame.width() / 4, frame.height() / 3)), 0);
        EXPECT_EQ(qAlpha(frame.pixel(20, frame.height() / 2)), 255) << file.toStdString();
        EXPECT_EQ(qAlpha(frame.pixel(frame.width() / 2, frame.height() - 20)), 255);
    }
}

TEST_F(ItemLibraryPanelTest, AnItemsFolderMadeAfterTheStartIsFound)
{
    QDir(files_.Path("items")).removeRecursively();
    CItemBar late(&log_, files_.Root());
    ASSERT_EQ(late.Library()->TabStrip()->Count(), 1);
    files_.Folder(QStringLiteral("items"));
    files_.Folder(QStringLiteral("items/리본"));
    files_.Picture(QStringLiteral("items/리본/red.png"), {40, 40}, Qt::red);
    EXPECT_TRUE(QTest::qWaitFor([&] { return late.Library()->TabStrip()->Count() == 2; }, 5000));
}

// A read-only installation beside the user's own items folder, as the
// settings of a packaged installation name them: APPS_PATH the installation,
// DOWNLOAD_FOLDER the user's folder as an absolute path.
class OwnItemsFolderTest : public ItemLibraryPanelTest
{
protected:
    OwnItemsFolderTest()
    {
        files_.Folder(QStringLiteral("own/하트"));
        files_.Folder(QStringLiteral("own/리본"));
        files_.Picture(QStringLiteral("own/하트/mine.png"), {40, 40}, Qt::blue);
        files_.Picture(QStringLiteral("own/리본/bow.png"), {40, 40}, Qt::green);
        qputenv("PIXVEL_REGISTRY_DIR", QFile::encodeName(files_.Folder("registry")));
        Setting("APPS_PATH", files_.Root());
        Setting("DOWNLOAD_FOLDER", files_.Path("own"));
        delete bar_;
        bar_ = new CItemBar(&log_, &window_);
        window_.addDockWidget(Qt::BottomDockWidgetArea, bar_);
        bar_->ApplyCurrentSize();
        EXPECT_TRUE(QTest::qWaitFor([this] { return Panel()->height() > 60; }, 2000));
    }
    ~OwnItemsFolderTest() override { qunsetenv("PIXVEL_REGISTRY_DIR"); }

    static void Setting(const char* name, const QString& data)
    {
        ASSERT_TRUE(platform::CRegistry::Write(QStringLiteral("HKCU\\Software\\Pixvel"),
                                               QString::fromLatin1(name), data));
    }

    QStringList Captions() const
    {
        QStringList captions;
        for (int tab = 0; tab < Strip()->Count(); ++tab) {
            captions.append(Strip()->Caption(tab));
        }
        return captions;
    }
};

TEST_F(OwnItemsFolderTest, TheInstallationsCategoriesAndTheUsersOwnShowTogether)
{
    QStringList expected = CItemFolder::Categories(files_.Path("items"));
    expected.prepend(QStringLiteral("사용한 아이템"));
    expected.append(QStringLiteral("리본"));
    EXPECT_EQ(Captions(), expected) << "the installation's first, a shared name once";

    ChooseTab(QStringLiteral("하트"));
    ASSERT_EQ(List()->count(), 3);
    EXPECT_EQ(List()->ShownPaths().last(), files_.Path("own/하트/mine.png"))
        << "the user's files follow the installation's";
    ChooseTab(QStringLiteral("리본"));
    EXPECT_EQ(RowTexts(), QStringList{"bow"});

    // A download while the editor runs: into the shown category and as a
    // new one.
    files_.Picture(QStringLiteral("own/리본/ribbon.png"), {40, 40}, Qt::red);
    ASSERT_TRUE(QTest::qWaitFor([&] { return List()->count() == 2 && !List()->Loading(); }, 5000));
    ChooseTab(QStringLiteral("별"));
    EXPECT_EQ(RowTexts(), QStringList{"gold"});
    files_.Folder(QStringLiteral("own/별"));
    files_.Picture(QStringLiteral("own/별/comet.png"), {40, 40}, Qt::yellow);
    ASSERT_TRUE(QTest::qWaitFor([&] { return List()->count() == 2 && !List()->Loading(); }, 5000))
        << "the user's first download into a category the installation has shows at once";
    EXPECT_EQ(RowTexts(), (QStringList{"gold", "comet"}));
    files_.Folder(QStringLiteral("own/꽃"));
    files_.Picture(QStringLiteral("own/꽃/tulip.png"), {40, 40}, Qt::blue);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Captions().contains(QStringLiteral("꽃")); }, 5000));
    ChooseTab(QStringLiteral("꽃"));
    EXPECT_EQ(RowTexts(), QStringList{"tulip"});
}

TEST_F(OwnItemsFolderTest, ARelativeDownloadFolderAddsNoFolder)
{
    Setting("DOWNLOAD_FOLDER", QStringLiteral("items"));
    CItemBar relative(&log_);
    EXPECT_EQ(relative.Library()->ItemsFolders(), QStringList{files_.Path("items")});
    EXPECT_EQ(relative.Library()->TabStrip()->Count(), 4);
}

} // namespace
