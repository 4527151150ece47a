#include "CCategoryTabStrip.h"
#include "DialogTesting.h"
#include "ItemLibraryTesting.h"

#include <QAccessible>
#include <QTest>

namespace {

// A strip of three tabs, 400 × 20 on white, tab 0 marked, as the item
// library sets it up.
class CategoryTabStripTest : public WidgetTest
{
protected:
    CategoryTabStripTest()
    {
        strip_.SetTabs(
            {QStringLiteral("사용한 아이템"), QStringLiteral("하트"), QStringLiteral("별과 달")});
        strip_.SetMarkedTab(0);
        strip_.SetBackgroundColour(Qt::white);
        strip_.SetReceiver(&recorder_);
        strip_.resize(400, 20);
        strip_.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&strip_));
    }

    // A point inside tab `index` only.
    QPoint Inside(int index) const
    {
        const QPolygon shape = strip_.TabShape(index);
        return {(shape[0].x() + shape[1].x()) / 2, 3};
    }

    // A point in the overlap of tab `index` and the next one.
    QPoint Overlap(int index) const
    {
        const QPoint point(strip_.TabShape(index + 1)[0].x(), strip_.height() - 1);
        for (const int tab : {index, index + 1}) {
            EXPECT_TRUE(QPolygonF(strip_.TabShape(tab))
                            .containsPoint(QPointF(point) + QPointF(0.5, 0.5), Qt::OddEvenFill));
        }
        return point;
    }

    void Click(QPoint press, QPoint release)
    {
        QTest::mousePress(&strip_, Qt::LeftButton, {}, press);
        QTest::mouseRelease(&strip_, Qt::LeftButton, {}, release);
    }

    std::vector<long> Switches() const
    {
        std::vector<long> tabs;
        for (const msg::Message& message : recorder_.received) {
            EXPECT_EQ(message.id, msg::kTabChanged);
            EXPECT_EQ(message.lparam, 0);
            tabs.push_back(message.wparam);
        }
        return tabs;
    }

    CCategoryTabStrip strip_;
    CMessageLog recorder_;
};

TEST_F(CategoryTabStripTest, TabsAreSizedToTheirCaptionsAndOverlapByThePadding)
{
    const int padding = strip_.Padding();
    EXPECT_EQ(padding, (20 - strip_.fontMetrics().height()) / 2);
    int left = 0;
    for (int index = 0; index < strip_.Count(); ++index) {
        const QPolygon shape = strip_.TabShape(index);
        ASSERT_EQ(shape.size(), 4);
        EXPECT_EQ(shape[0], QPoint(left, 0)); // vertical left edge
        EXPECT_EQ(shape[3], QPoint(left, 20));
        EXPECT_EQ(shape[1].x() - shape[0].x(),
                  strip_.fontMetrics().horizontalAdvance(strip_.Caption(index)) + 2 * padding);
        EXPECT_GT(shape[2].x(), shape[1].x()); // the right edge slants outwards
        left = shape[2].x() - padding;
    }
    EXPECT_TRUE(strip_.TabShape(3).isEmpty());
    EXPECT_EQ(strip_.sizeHint(), QSize(strip_.TabShape(2)[2].x() + 1, 20));
}

TEST_F(CategoryTabStripTest, OverlapsBelongToTheCurrentTabElseToTheLowestIndex)
{
    EXPECT_EQ(strip_.TabAt(Inside(1)), 1);
    EXPECT_EQ(strip_.TabAt(Overlap(0)), 0);
    EXPECT_EQ(strip_.TabAt(Overlap(1)), 1);
    strip_.SetCurrentTab(2);
    EXPECT_EQ(strip_.TabAt(Overlap(1)), 2);
    EXPECT_EQ(strip_.TabAt(Overlap(0)), 0);
    EXPECT_EQ(strip_.TabAt(QPoint(399, 5)), -1); // past the last tab
}

TEST_F(CategoryTabStripTest, ReleaseOverThePressedTabSwitchesAndTellsTheReceiver)
{
    Click(Inside(1), Inside(1));
    EXPECT_EQ(strip_.CurrentTab(), 1);
    Click(Inside(1), Inside(1)); // already current: nothing new
    Click(Inside(2), Inside(0)); // released over another tab
    Click(Inside(0), QPoint(399, 5));
    EXPECT_EQ(strip_.CurrentTab(), 1);
    QTest::mousePress(&strip_, Qt::RightButton, {}, Inside(2));
    QTest::mouseRelease(&strip_, Qt::RightButton, {}, Inside(2));
    Click(Overlap(1), Inside(1)); // the overlap belongs to the current tab 1
    EXPECT_EQ(Switches(), std::vector<long>{1});

    strip_.SetCurrentTab(0); // set by the owner: no message
    EXPECT_EQ(Switches(), std::vector<long>{1});
}

TEST_F(CategoryTabStripTest, KeysSwitchTabs)
{
    strip_.setFocus();
    QTest::keyClick(&strip_, Qt::Key_Right);
    QTest::keyClick(&strip_, Qt::Key_End);
    QTest::keyClick(&strip_, Qt::Key_End);
    QTest::keyClick(&strip_, Qt::Key_Right); // no tab after the last
    QTest::keyClick(&strip_, Qt::Key_Home);
    QTest::keyClick(&strip_, Qt::Key_Left);
    EXPECT_EQ(Switches(), (std::vector<long>{1, 2, 0}));
    EXPECT_EQ(strip_.focusPolicy(), Qt::StrongFocus);
}

TEST_F(CategoryTabStripTest, DrawsOtherTabsGreyTheCurrentOneOpenAndCaptionsInTheirColours)
{
    strip_.SetCurrentTab(1);
    const QImage image = strip_.grab().toImage();
    const auto at = [&image](QPoint point) { return image.pixel(point) & 0xFFFFFF; };
    const int bottom = strip_.height() - 1;
    const QPoint current = Inside(1);
    const QPoint other = Inside(2);

    EXPECT_EQ(at({current.x(), 1}), qRgb(255, 255, 255) & 0xFFFFFF);
    EXPECT_EQ(at({other.x(), 1}), CCategoryTabStrip::kTabFill & 0xFFFFFF);
    // The bottom line runs under the other tabs, not under the current one.
    EXPECT_EQ(at({current.x(), bottom}), qRgb(255, 255, 255) & 0xFFFFFF);
    EXPECT_EQ(at({other.x(), bottom}), CCategoryTabStrip::kLineColour & 0xFFFFFF);
    EXPECT_EQ(at({395, bottom}), CCategoryTabStrip::kLineColour & 0xFFFFFF);

    // The darkest caption pixel of each tab shows its caption colour.
    const auto darkest = [&](int index) {
        const QPolygon shape = strip_.TabShape(index);
        QRgb found = qRgb(255, 255, 255);
        for (int y = 2; y < bottom - 1; ++y) {
            for (int x = shape[0].x() + 1; x < shape[1].x(); ++x) {
                if (qGray(image.pixel(x, y)) < qGray(found)) {
                    found = image.pixel(x, y);
                }
            }
        }
        return found;
    };
    const QRgb marked = darkest(0);
    EXPECT_GT(qBlue(marked), qRed(marked) + 100) << "tab 0 is marked blue";
    EXPECT_LT(qGray(darkest(1)), 60) << "the current caption is black";
    EXPECT_NEAR(qGray(darkest(2)), 119, 12) << "other captions are grey";
}

TEST_F(CategoryTabStripTest, IsAPageTabListForAssistiveTechnology)
{
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&strip_);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::PageTabList);
    ASSERT_EQ(list->childCount(), 3);
    QAccessibleInterface* heart = list->child(1);
    ASSERT_NE(heart, nullptr);
    EXPECT_EQ(heart->role(), QAccessible::PageTab);
    EXPECT_EQ(heart->text(QAccessible::Name), QStringLiteral("하트"));
    EXPECT_EQ(heart->parent(), list);
    EXPECT_EQ(list->indexOfChild(heart), 1);
    EXPECT_TRUE(list->child(0)->state().selected);
    EXPECT_FALSE(heart->state().selected);
    const QPoint centre = strip_.mapToGlobal(Inside(1));
    EXPECT_EQ(list->childAt(centre.x(), centre.y()), heart);
    EXPECT_TRUE(heart->rect().contains(centre));

    QAccessibleActionInterface* action = heart->actionInterface();
    ASSERT_NE(action, nullptr);
    action->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(strip_.CurrentTab(), 1);
    EXPECT_TRUE(heart->state().selected);
    EXPECT_EQ(Switches(), std::vector<long>{1});

    strip_.SetTabs({QStringLiteral("효 과  ")});
    EXPECT_EQ(list->childCount(), 1);
    EXPECT_FALSE(heart->isValid());
}

} // namespace
