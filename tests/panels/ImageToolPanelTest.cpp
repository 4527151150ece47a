#include "CCategoryTabStrip.h"
#include "CContrastGammaPage.h"
#include "CFilterPage.h"
#include "CHueSaturationPage.h"
#include "CImageToolBar.h"
#include "CImageToolPanel.h"
#include "CItemCanvas.h"
#include "CItemsPanel.h"
#include "CNewsView.h"
#include "COtherPage.h"
#include "CPageHeaderButton.h"
#include "CZoomPage.h"
#include "PanelTesting.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QTest>

namespace {

// Counts the loads the panel asks for.
class CRecordingNewsView : public CNewsView
{
public:
    void Navigate(const QUrl& address) override { loads.push_back(address); }
    QUrl Address() const override { return loads.empty() ? QUrl() : loads.back(); }
    std::vector<QUrl> loads;
};

const QUrl kNews(QStringLiteral("http://127.0.0.1:8123/pixvel/news.html"));

// The panel in a 214 × 600 window (the bar's client), with a picture open, a
// recording news view and a clock the test sets.
class ImageToolPanelTest : public PictureOpenTest
{
protected:
    ImageToolPanelTest()
    {
        panel_.SetClock([this] { return now_; });
        panel_.SetNewsAddress([] { return kNews; });
        panel_.resize(214, 600);
        panel_.show();
        QApplication::processEvents(); // the opening load
    }

    void ClickHeader(int page) { QTest::mouseClick(panel_.Page(page)->Header(), Qt::LeftButton); }
    // Top and bottom of each adjustment page.
    std::vector<std::pair<int, int>> PageSpans() const
    {
        std::vector<std::pair<int, int>> spans;
        for (int page = 1; page <= 4; ++page) {
            const QRect place = panel_.Page(page)->geometry();
            spans.emplace_back(place.top(), place.top() + place.height());
        }
        return spans;
    }
    using Spans = std::vector<std::pair<int, int>>;

    CRecordingNewsView* news_ = new CRecordingNewsView;
    CImageToolPanel panel_{&mainWindow_, news_};
    qint64 now_ = 1000;
};

TEST_F(ImageToolPanelTest, OpensWithTwoTabsAndAllPagesCollapsed)
{
    EXPECT_EQ(panel_.TabStrip()->Caption(0), QStringLiteral("효 과  "));
    EXPECT_EQ(panel_.TabStrip()->Caption(1), QStringLiteral("새소식  "));
    EXPECT_EQ(panel_.TabStrip()->CurrentTab(), 0);
    EXPECT_EQ(panel_.TabStrip()->height(), 20);
    EXPECT_EQ(PageSpans(), (Spans{{25, 50}, {55, 80}, {85, 110}, {115, 140}}));
    for (int page = 1; page <= 4; ++page) {
        EXPECT_FALSE(panel_.Page(page)->Header()->isChecked());
        EXPECT_EQ(panel_.Page(page)->x(), 7);
        EXPECT_EQ(panel_.Page(page)->width(), 200);
    }
    EXPECT_EQ(panel_.Separator()->geometry(), QRect(7, 145, 200, 2));
    EXPECT_EQ(panel_.ZoomPage()->geometry(), QRect(7, 152, 200, 70));
    EXPECT_EQ(panel_.ItemsPanel()->geometry(), QRect(7, 227, 200, 600 - 5 - 227));
    EXPECT_EQ(panel_.NewsView()->size(), QSize(0, 0));
}

TEST_F(ImageToolPanelTest, ExpandedFirstPagePushesTheOthersDown)
{
    ClickHeader(1);
    EXPECT_TRUE(panel_.Page(1)->Header()->isChecked());
    EXPECT_EQ(PageSpans(), (Spans{{25, 200}, {205, 230}, {235, 260}, {265, 290}}));
    EXPECT_EQ(panel_.ZoomPage()->y(), 302);
    EXPECT_EQ(panel_.ItemsPanel()->y(), 377);
    EXPECT_EQ(panel_.ItemsPanel()->geometry().bottom(), 600 - 5 - 1);
}

TEST_F(ImageToolPanelTest, HeadersToggleLikeAnAccordion)
{
    ClickHeader(1);
    ClickHeader(3);
    EXPECT_FALSE(panel_.Page(1)->Header()->isChecked());
    EXPECT_TRUE(panel_.Page(3)->Header()->isChecked());
    EXPECT_EQ(PageSpans(), (Spans{{25, 50}, {55, 80}, {85, 240}, {245, 270}}));
    ClickHeader(3); // the expanded page's header collapses it
    EXPECT_FALSE(panel_.Page(3)->Header()->isChecked());
    EXPECT_EQ(PageSpans(), (Spans{{25, 50}, {55, 80}, {85, 110}, {115, 140}}));
    ClickHeader(2);
    ClickHeader(4);
    EXPECT_EQ(PageSpans(), (Spans{{25, 50}, {55, 80}, {85, 110}, {115, 185}}));
}

TEST_F(ImageToolPanelTest, CollapsedPagesKeepTheirControlsOutOfReach)
{
    ClickHeader(2);
    EXPECT_TRUE(panel_.ContrastGammaPage()->findChild<CValueSlider*>()->isVisible());
    EXPECT_FALSE(panel_.HueSaturationPage()->findChild<CValueSlider*>()->isVisible());
    EXPECT_FALSE(panel_.FilterPage()->List()->isVisible());
}

TEST_F(ImageToolPanelTest, HeaderClickWithoutAPictureIsRefused)
{
    State() = CEditingState();
    for (int page = 1; page <= 4; ++page) {
        EXPECT_EQ(MessageShownBy([&] { ClickHeader(page); }),
                  QStringLiteral("현재 편집할 이미지가 없습니다"));
        EXPECT_FALSE(panel_.Page(page)->Header()->isChecked());
    }
    EXPECT_EQ(PageSpans(), (Spans{{25, 50}, {55, 80}, {85, 110}, {115, 140}}));
}

TEST_F(ImageToolPanelTest, NewsLoadsAtOpeningAndOnTheFirstSwitch)
{
    ASSERT_EQ(news_->loads.size(), 1u) << "the opening load";
    EXPECT_EQ(news_->loads[0], kNews);
    panel_.Receive(msg::Make(msg::kTabChanged, CImageToolPanel::kNewsTab));
    EXPECT_EQ(news_->loads.size(), 2u) << "the opening load sets no time";
    EXPECT_EQ(panel_.NewsView()->geometry(), QRect(7, 30, 200, 565));
    EXPECT_TRUE(panel_.NewsView()->isVisible());
    EXPECT_FALSE(panel_.ZoomPage()->isVisible());
    EXPECT_EQ(panel_.Page(1)->size(), QSize(0, 0));

    // Within 120000 ms of that load, switching back and forth keeps the page.
    now_ += 120000;
    panel_.SwitchTab(CImageToolPanel::kEffectsTab);
    panel_.SwitchTab(CImageToolPanel::kNewsTab);
    EXPECT_EQ(news_->loads.size(), 2u);
    // Later, the next switch loads it again.
    now_ += 1;
    panel_.SwitchTab(CImageToolPanel::kEffectsTab);
    panel_.SwitchTab(CImageToolPanel::kNewsTab);
    EXPECT_EQ(news_->loads.size(), 3u);
}

TEST_F(ImageToolPanelTest, NoAddressShowsAnEmptyPage)
{
    panel_.SetNewsAddress({});
    panel_.SwitchTab(CImageToolPanel::kNewsTab);
    ASSERT_EQ(news_->loads.size(), 2u);
    EXPECT_TRUE(news_->loads.back().isEmpty());
}

TEST_F(ImageToolPanelTest, ReturningFromNewsShowsThePageExpandedBefore)
{
    ClickHeader(2);
    QTest::keyClick(panel_.TabStrip(), Qt::Key_Right); // to the news tab
    EXPECT_EQ(panel_.TabStrip()->CurrentTab(), 1);
    EXPECT_FALSE(panel_.Page(2)->isVisible());
    QTest::keyClick(panel_.TabStrip(), Qt::Key_Left);
    EXPECT_EQ(panel_.TabStrip()->CurrentTab(), 0);
    EXPECT_EQ(panel_.NewsView()->size(), QSize(0, 0));
    EXPECT_TRUE(panel_.Page(2)->isVisible());
    EXPECT_EQ(PageSpans(), (Spans{{25, 50}, {55, 185}, {190, 215}, {220, 245}}));
}

TEST_F(ImageToolPanelTest, ResizingStretchesTheItemsPageOrTheNews)
{
    ClickHeader(1);
    panel_.resize(300, 700);
    EXPECT_EQ(panel_.TabStrip()->width(), 300);
    EXPECT_EQ(panel_.ItemsPanel()->geometry(), QRect(7, 377, 200, 700 - 5 - 377));
    panel_.SwitchTab(CImageToolPanel::kNewsTab);
    panel_.resize(300, 500);
    EXPECT_EQ(panel_.NewsView()->geometry(), QRect(7, 30, 200, 465));
}

TEST_F(ImageToolPanelTest, PagesPaintGreyWithAFrameUnderTheHeader)
{
    ClickHeader(1);
    const QImage page = panel_.Page(1)->grab().toImage();
    EXPECT_EQ(page.pixelColor(100, 170), QColor(238, 238, 238));
    const QColor frame = page.pixelColor(0, 100);
    EXPECT_NE(frame, QColor(238, 238, 238));
    EXPECT_EQ(page.pixelColor(199, 100), frame);
    EXPECT_EQ(page.pixelColor(100, 174), frame);
}

TEST_F(ImageToolPanelTest, BarRelaysRefreshAndZoomToThePages)
{
    CImageToolBar bar(&mainWindow_);
    CImageToolPanel* panel = bar.ToolPanel();
    Effects().hue = -45;
    Effects().contrast = 1.15f;
    Effects().sharpenAmount = 2.5f;
    Effects().invert = true;
    CItemCanvas::Instance().SetZoom(0.29);
    bar.Receive(msg::Make(msg::kRefreshPanels));
    EXPECT_EQ(panel->HueSaturationPage()->Hue(), -45);
    EXPECT_FLOAT_EQ(panel->ContrastGammaPage()->Contrast(), 1.15f);
    EXPECT_FLOAT_EQ(panel->FilterPage()->Value(), 2.5f);
    EXPECT_TRUE(panel->OtherPage()->InvertBox()->isChecked());
    EXPECT_EQ(panel->ZoomPage()->Zoom(), 29);
    bar.Receive(msg::Make(msg::kZoom, msg::kZoomToolBarOnly, 150));
    EXPECT_EQ(panel->ZoomPage()->Text()->text(), QStringLiteral("150%"));
    EXPECT_TRUE(mainWindow_.sent.empty()) << "what the view reports is not sent back";
    CItemCanvas::Instance().SetZoom(1.0);
}

TEST_F(ImageToolPanelTest, RefreshWithoutACurrentItemKeepsWhatIsShown)
{
    State().currentItem = nullptr;
    panel_.Receive(msg::Make(msg::kRefreshPanels));
    EXPECT_EQ(panel_.HueSaturationPage()->Saturation(), 100);
    EXPECT_EQ(panel_.ZoomPage()->Zoom(), 100);
}

TEST_F(ImageToolPanelTest, EveryControlIsReachedByTabAndNamed)
{
    for (int page = 1; page <= 4; ++page) {
        panel_.Page(page)->Header()->setChecked(page == 3);
    }
    panel_.OpenPage(3);
    panel_.FilterPage()->List()->setCurrentIndex(CFilterPage::kSharpen);
    panel_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel_));
    panel_.TabStrip()->setFocus();
    QStringList names;
    QWidget* first = QApplication::focusWidget();
    ASSERT_EQ(first, panel_.TabStrip());
    EXPECT_EQ(first->accessibleName(), QStringLiteral("이미지 편집툴"));
    for (int step = 0; step < 40; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focused = QApplication::focusWidget();
        if (focused == first) {
            break;
        }
        ASSERT_FALSE(focused->accessibleName().isEmpty()) << focused->metaObject()->className();
        names.append(focused->accessibleName());
    }
    for (const char* name : {"색상/채도/밝기", "대비/감마", "필터", "값", "범위", "기타", "줌",
                             "줌아웃", "줌인/줌아웃", "줌인"}) {
        EXPECT_TRUE(names.contains(QString::fromUtf8(name))) << name;
    }
    EXPECT_FALSE(names.contains(QStringLiteral("색상"))) << "page 1 is collapsed";
}

} // namespace
