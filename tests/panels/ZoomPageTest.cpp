#include "CPageHeaderButton.h"
#include "CZoomPage.h"
#include "PanelTesting.h"

#include <QLineEdit>
#include <QTest>
#include <QToolButton>

namespace {

class ZoomPageTest : public WidgetTest
{
protected:
    ZoomPageTest()
    {
        page_.resize(200, 70);
        page_.show();
    }
    // The zooms sent to the view (target 2), in order; clears the record.
    std::vector<long> SentZooms()
    {
        std::vector<long> zooms;
        for (const msg::Message& message : mainWindow_.sent) {
            EXPECT_EQ(message.id, msg::kZoom);
            EXPECT_EQ(message.wparam, msg::kZoomViewOnly);
            zooms.push_back(message.lparam);
        }
        mainWindow_.sent.clear();
        return zooms;
    }
    void Type(const QString& text)
    {
        page_.Text()->selectAll();
        QTest::keyClicks(page_.Text(), text);
        QTest::keyClick(page_.Text(), Qt::Key_Return);
    }

    CMainWindowRecorder mainWindow_;
    CZoomPage page_{&mainWindow_};
};

TEST_F(ZoomPageTest, StepsRunThroughTheFixedZooms)
{
    std::vector<int> up{10};
    while (up.back() < 400) {
        up.push_back(CZoomPage::ZoomInStep(up.back()));
    }
    EXPECT_EQ(up, (std::vector<int>{10, 25, 50, 75, 100, 200, 300, 400}));
    std::vector<int> down{400};
    while (down.back() > 10) {
        down.push_back(CZoomPage::ZoomOutStep(down.back()));
    }
    EXPECT_EQ(down, (std::vector<int>{400, 300, 200, 100, 75, 50, 25, 10}));
    EXPECT_EQ(CZoomPage::ZoomInStep(400), 400);
    EXPECT_EQ(CZoomPage::ZoomOutStep(10), 10);
}

TEST_F(ZoomPageTest, ValuesBetweenStepsGoToTheNextStep)
{
    EXPECT_EQ(CZoomPage::ZoomOutStep(150), 100);
    EXPECT_EQ(CZoomPage::ZoomInStep(150), 200);
    EXPECT_EQ(CZoomPage::ZoomOutStep(37), 25);
    EXPECT_EQ(CZoomPage::ZoomInStep(37), 50);
    EXPECT_EQ(CZoomPage::ZoomOutStep(101), 100);
    EXPECT_EQ(CZoomPage::ZoomOutStep(250), 200);
    EXPECT_EQ(CZoomPage::ZoomInStep(250), 300);
    EXPECT_EQ(CZoomPage::ZoomOutStep(12), 10);
    EXPECT_EQ(CZoomPage::ZoomInStep(390), 400);
}

TEST_F(ZoomPageTest, TypedTextIsReadAsAClampedPercentage)
{
    EXPECT_EQ(CZoomPage::ParseZoomText(QStringLiteral("5")), 10);
    EXPECT_EQ(CZoomPage::ParseZoomText(QStringLiteral("1000%")), 400);
    EXPECT_EQ(CZoomPage::ParseZoomText(QStringLiteral("abc")), 10);
    EXPECT_EQ(CZoomPage::ParseZoomText(QStringLiteral("  150 % ")), 150);
    EXPECT_EQ(CZoomPage::ParseZoomText(QStringLiteral("75x")), 75);
    EXPECT_EQ(CZoomPage::ParseZoomText(QStringLiteral("99999999999999%")), 400);
    EXPECT_EQ(CZoomPage::ParseZoomText(QStringLiteral("-50")), 10);
    EXPECT_EQ(CZoomPage::ParseZoomText(QString()), 10);
}

TEST_F(ZoomPageTest, EnterAppliesTheTypedZoom)
{
    Type(QStringLiteral("5"));
    EXPECT_EQ(page_.Text()->text(), QStringLiteral("10%"));
    Type(QStringLiteral("1000%"));
    EXPECT_EQ(page_.Text()->text(), QStringLiteral("400%"));
    EXPECT_EQ(page_.Slider()->Position(), 400);
    Type(QStringLiteral("abc"));
    EXPECT_EQ(SentZooms(), (std::vector<long>{10, 400, 10}));
}

TEST_F(ZoomPageTest, MinusAndPlusStepAndMoveTheSlider)
{
    page_.ShowZoom(150);
    QTest::mouseClick(page_.MinusButton(), Qt::LeftButton);
    EXPECT_EQ(page_.Zoom(), 100);
    EXPECT_EQ(page_.Slider()->Position(), 100);
    page_.ShowZoom(150);
    QTest::mouseClick(page_.PlusButton(), Qt::LeftButton);
    EXPECT_EQ(page_.Text()->text(), QStringLiteral("200%"));
    EXPECT_EQ(page_.Slider()->Position(), 200);
    EXPECT_EQ(SentZooms(), (std::vector<long>{100, 200}));
}

TEST_F(ZoomPageTest, DraggingSendsEveryChangeAndTheRelease)
{
    DragThumb(page_.Slider(), 300);
    const std::vector<long> zooms = SentZooms();
    ASSERT_EQ(zooms.size(), 3u); // two moves and the release
    EXPECT_EQ(zooms[1], zooms[2]);
    EXPECT_NEAR(zooms[2], 300, 4);
    EXPECT_EQ(page_.Text()->text(), QStringLiteral("%1%").arg(zooms[2]));
}

TEST_F(ZoomPageTest, TheViewsZoomIsShownNotSent)
{
    page_.ShowZoom(37);
    EXPECT_EQ(page_.Text()->text(), QStringLiteral("37%"));
    EXPECT_EQ(page_.Slider()->Position(), 37);
    page_.ShowZoomFactor(0.29);
    EXPECT_EQ(page_.Zoom(), 29) << "not 28 from 0.29 × 100 = 28.999…";
    EXPECT_TRUE(SentZooms().empty());
}

TEST_F(ZoomPageTest, HeaderDoesNotToggleAndControlsSitInOneRow)
{
    EXPECT_FALSE(page_.Header()->isCheckable());
    QTest::mouseClick(page_.Header(), Qt::LeftButton);
    EXPECT_TRUE(SentZooms().empty());
    EXPECT_EQ(page_.Header()->geometry(), QRect(0, 0, 200, 25));
    EXPECT_EQ(page_.Text()->geometry(), QRect(10, 40, 35, 13));
    EXPECT_EQ(page_.MinusButton()->geometry(), QRect(49, 40, 13, 13));
    EXPECT_EQ(page_.Slider()->geometry(), QRect(65, 40, 109, 13));
    EXPECT_EQ(page_.PlusButton()->geometry(), QRect(177, 40, 13, 13));
    EXPECT_EQ(page_.Header()->accessibleName(), QStringLiteral("줌인/줌아웃"));
}

} // namespace
