#include "CImageToolBar.h"
#include "CItemBar.h"
#include "DialogTesting.h"
#include "ItemLibraryTesting.h"

#include <QMainWindow>
#include <QTest>

namespace {

// A main window of 1000 × 800 holding both bars where the editor puts them.
class SizingControlBarTest : public WidgetTest
{
protected:
    SizingControlBarTest()
    {
        window_.setCentralWidget(new QWidget);
        for (CPanelBar* bar :
             {static_cast<CPanelBar*>(itemBar_), static_cast<CPanelBar*>(toolBar_)}) {
            bar->SetMinimumSizes(QSize(7, 7), QSize(7, 7));
        }
        window_.addDockWidget(Qt::BottomDockWidgetArea, itemBar_);
        window_.addDockWidget(Qt::RightDockWidgetArea, toolBar_);
        window_.resize(1000, 800);
        window_.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window_));
        itemBar_->ApplyCurrentSize();
        toolBar_->ApplyCurrentSize();
        Settle();
    }

    static void Settle()
    {
        for (int round = 0; round < 5; ++round) {
            QApplication::processEvents();
        }
    }

    QMainWindow window_;
    CItemBar* itemBar_ = new CItemBar(nullptr, &window_);
    CImageToolBar* toolBar_ = new CImageToolBar(nullptr, &window_);
};

TEST_F(SizingControlBarTest, CollapseShrinksToTheMinimumAndExpandGivesTheDefaultBack)
{
    // The user makes the bar taller first; expanding still gives 800 × 130.
    itemBar_->SetCurrentSize(QSize(800, 250));
    Settle();
    EXPECT_EQ(itemBar_->height(), 250);

    itemBar_->ToggleCollapse();
    Settle();
    EXPECT_TRUE(itemBar_->IsCollapsed());
    EXPECT_EQ(itemBar_->HorizontalSize(), QSize(7, 7));
    // Only the sizing edge with its button stays.
    EXPECT_LE(itemBar_->height(), itemBar_->EdgeThickness() + 2);

    itemBar_->ToggleCollapse();
    Settle();
    EXPECT_FALSE(itemBar_->IsCollapsed());
    EXPECT_EQ(itemBar_->HorizontalSize(), QSize(800, 130));
    EXPECT_EQ(itemBar_->height(), 130);
}

TEST_F(SizingControlBarTest, ClickOnTheCollapseButtonTogglesTheSideBar)
{
    QWidget* client = toolBar_->widget();
    const QPoint button = toolBar_->CollapseButtonRect().center();
    QTest::mouseClick(client, Qt::LeftButton, {}, button);
    Settle();
    EXPECT_TRUE(toolBar_->IsCollapsed());
    EXPECT_EQ(toolBar_->VerticalSize(), QSize(7, 7));
    EXPECT_LE(toolBar_->width(), toolBar_->EdgeThickness() + 2);

    QTest::mouseClick(client, Qt::LeftButton, {}, toolBar_->CollapseButtonRect().center());
    Settle();
    EXPECT_EQ(toolBar_->width(), 220);
}

TEST_F(SizingControlBarTest, CollapseButtonSitsCentredOnTheEdgeFacingTheDocument)
{
    const QSize client = itemBar_->widget()->size();
    const QRect bottom = itemBar_->CollapseButtonRect();
    EXPECT_EQ(bottom, QRect(static_cast<int>(client.width() / 2.0 - 15.5), 0, 31, 7));

    const QSize side = toolBar_->widget()->size();
    const QRect right = toolBar_->CollapseButtonRect();
    EXPECT_EQ(right, QRect(0, static_cast<int>(side.height() / 2.0 - 15.5), 7, 31));
}

TEST_F(SizingControlBarTest, DraggingTheEdgeResizesWithinTheMinimum)
{
    QWidget* client = itemBar_->widget();
    const QPoint start(100, 3);
    QTest::mousePress(client, Qt::LeftButton, {}, start);
    QTest::mouseMove(client, start + QPoint(0, -70));
    QTest::mouseRelease(client, Qt::LeftButton, {}, start + QPoint(0, -70));
    Settle();
    EXPECT_EQ(itemBar_->HorizontalSize().height(), 200);
    EXPECT_EQ(itemBar_->height(), 200);
}

TEST_F(SizingControlBarTest, CloseRequestLeavesTheBarVisible)
{
    EXPECT_FALSE(itemBar_->close());
    EXPECT_TRUE(itemBar_->isVisible());
    EXPECT_FALSE(toolBar_->features().testFlag(QDockWidget::DockWidgetClosable));
}

TEST_F(SizingControlBarTest, BarRelaysMessagesToItsPanel)
{
    CMessageLog panel;
    itemBar_->SetPanel(new QWidget, &panel);
    itemBar_->Receive(msg::WithIndexes(msg::kSelectItems, msg::kFromView, {2}));
    ASSERT_EQ(panel.received.size(), 1u);
    EXPECT_EQ(panel.received[0].indexes, msg::IndexList{2});
    // The panel fills the client area but for the sizing edge.
    Settle();
    EXPECT_EQ(itemBar_->Panel()->geometry(),
              itemBar_->widget()->rect().adjusted(0, itemBar_->EdgeThickness(), 0, 0));
}

TEST(CaptionFontTest, GulimWhenInstalledElseArial)
{
    EXPECT_EQ(CSizingControlBarH::CaptionFontName({"Arial", "굴림", "Tahoma"}), "굴림");
    EXPECT_EQ(CSizingControlBarH::CaptionFontName({"DejaVu Sans", "NanumGothic"}), "Arial");
}

TEST(GripperBarTest, ReleaseOnTheCloseBoxHidesTheBar)
{
    EnsureApplication();
    QMainWindow window;
    window.setCentralWidget(new QWidget);
    auto* bar = new CSizingControlBarG(QStringLiteral("bar"), &window);
    window.addDockWidget(Qt::LeftDockWidgetArea, bar);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(bar->TitleBar(), Qt::LeftButton, {}, bar->CloseButtonRect().center());
    EXPECT_TRUE(bar->isHidden());
}

} // namespace
