#include "PanelTesting.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

namespace {

// A 142 × 19 slider over -180 … 180 (the hue slider) with its marker at 0.
class ValueSliderTest : public WidgetTest
{
protected:
    ValueSliderTest() : moved_(&slider_, &CValueSlider::Moved), set_(&slider_, &CValueSlider::Set)
    {
        slider_.setAccessibleName(QStringLiteral("색상"));
        slider_.resize(142, 19);
        slider_.SetRange(-180, 180);
        slider_.SetMarker(0);
        slider_.show();
    }

    // The positions announced by the last signals of a spy.
    static std::vector<int> Positions(QSignalSpy& spy)
    {
        std::vector<int> positions;
        for (const QList<QVariant>& call : spy) {
            positions.push_back(call.at(1).toInt());
        }
        spy.clear();
        return positions;
    }

    CValueSlider slider_{1004};
    QSignalSpy moved_;
    QSignalSpy set_;
};

TEST_F(ValueSliderTest, KeysMoveByOneOrAPageAndAnnounceEveryPress)
{
    const std::pair<Qt::Key, int> keys[] = {
        {Qt::Key_Right, 1},     {Qt::Key_Down, 2},      {Qt::Key_Left, 1},  {Qt::Key_Up, 0},
        {Qt::Key_PageDown, 20}, {Qt::Key_PageUp, 0},    {Qt::Key_End, 180}, {Qt::Key_Right, 180},
        {Qt::Key_Home, -180},   {Qt::Key_PageUp, -180},
    };
    for (const auto& [key, expected] : keys) {
        QTest::keyClick(&slider_, key);
        EXPECT_EQ(slider_.Position(), expected) << key;
    }
    // Every key announces the position, also at the ends where it did not
    // change; nothing is announced as a drag.
    EXPECT_EQ(set_.count(), 10);
    EXPECT_EQ(set_.last().at(0).toInt(), 1004);
    EXPECT_EQ(moved_.count(), 0);
}

TEST_F(ValueSliderTest, PressOnTheMarkerJumpsToItWithoutADrag)
{
    slider_.SetPosition(90);
    const QPoint marker = slider_.MarkerRect().center();
    SendMouse(&slider_, QEvent::MouseButtonPress, marker);
    EXPECT_EQ(slider_.Position(), 0);
    SendMouse(&slider_, QEvent::MouseMove, marker + QPoint(30, 0));
    EXPECT_EQ(slider_.Position(), 0);
    EXPECT_EQ(moved_.count(), 0);
    SendMouse(&slider_, QEvent::MouseButtonRelease, marker + QPoint(30, 0));
    EXPECT_EQ(Positions(set_), std::vector<int>{0});
}

TEST_F(ValueSliderTest, MarkerOfAFractionalStepIsAtMarkerOverStep)
{
    slider_.SetRange(20, 400);
    slider_.SetStep(0.01f);
    slider_.SetMarker(1.0f);
    EXPECT_EQ(slider_.MarkerPosition(), 100);
    slider_.SetMarker(1.15f);
    EXPECT_EQ(slider_.MarkerPosition(), 115);
}

TEST_F(ValueSliderTest, DragFromTheThumbKeepsItsOffsetToTheMouse)
{
    const QPoint grab = ThumbPoint(&slider_, 0) + QPoint(3, 0); // right of the centre
    SendMouse(&slider_, QEvent::MouseButtonPress, grab);
    EXPECT_EQ(slider_.Position(), 0) << "a press on the thumb does not move it";
    SendMouse(&slider_, QEvent::MouseMove, ThumbPoint(&slider_, 90) + QPoint(3, 0));
    EXPECT_NEAR(slider_.Position(), 90, 2);
    SendMouse(&slider_, QEvent::MouseMove, QPoint(-50, 5)); // beyond the left end
    EXPECT_EQ(slider_.Position(), -180);
    SendMouse(&slider_, QEvent::MouseButtonRelease, QPoint(-50, 5));
    const std::vector<int> moved = Positions(moved_);
    ASSERT_EQ(moved.size(), 2u);
    EXPECT_EQ(moved.back(), -180);
    EXPECT_EQ(Positions(set_), std::vector<int>{-180});
}

TEST_F(ValueSliderTest, PressAwayFromTheThumbJumpsUnderTheMouse)
{
    const QPoint at = ThumbPoint(&slider_, 120);
    SendMouse(&slider_, QEvent::MouseButtonPress, at);
    EXPECT_NEAR(slider_.Position(), 120, 2);
    EXPECT_EQ(Positions(moved_), std::vector<int>{slider_.Position()});
    // Moves that land on the same position announce nothing new.
    SendMouse(&slider_, QEvent::MouseMove, at);
    EXPECT_EQ(moved_.count(), 0);
    SendMouse(&slider_, QEvent::MouseButtonRelease, at);
    EXPECT_EQ(set_.count(), 1);
}

TEST_F(ValueSliderTest, ReleasingWithoutMovingStillAnnouncesThePosition)
{
    slider_.SetPosition(33);
    SendMouse(&slider_, QEvent::MouseButtonPress, ThumbPoint(&slider_, 33));
    SendMouse(&slider_, QEvent::MouseButtonRelease, ThumbPoint(&slider_, 33));
    EXPECT_EQ(moved_.count(), 0);
    EXPECT_EQ(Positions(set_), std::vector<int>{33});
}

TEST_F(ValueSliderTest, DisabledSliderIgnoresInputAndDropsADrag)
{
    DragThumb(&slider_, 60, false);
    const int during = slider_.Position();
    moved_.clear();
    slider_.setEnabled(false);
    SendMouse(&slider_, QEvent::MouseMove, ThumbPoint(&slider_, 150));
    SendMouse(&slider_, QEvent::MouseButtonRelease, ThumbPoint(&slider_, 150));
    QTest::keyClick(&slider_, Qt::Key_Right);
    SendMouse(&slider_, QEvent::MouseButtonPress, slider_.MarkerRect().center());
    EXPECT_EQ(slider_.Position(), during);
    EXPECT_EQ(moved_.count(), 0);
    EXPECT_EQ(set_.count(), 0);
    // Enabled again, a release without a press of its own announces nothing.
    slider_.setEnabled(true);
    SendMouse(&slider_, QEvent::MouseButtonRelease, ThumbPoint(&slider_, 150));
    EXPECT_EQ(set_.count(), 0);
}

TEST_F(ValueSliderTest, PositionIsKeptInsideTheRange)
{
    slider_.SetPosition(500);
    EXPECT_EQ(slider_.Position(), 180);
    slider_.SetRange(0, 100);
    EXPECT_EQ(slider_.Position(), 100);
}

TEST_F(ValueSliderTest, ValueToPositionRoundTripIsTheIdentity)
{
    // A value made from a position gives that position back, also where the
    // float product lies just under it (1.15 is 1.14999998).
    for (int position = 0; position <= 800; ++position) {
        const float value = float(position * 0.01);
        ASSERT_EQ(CValueSlider::PositionOf(value, 0.01f), position) << value;
    }
}

TEST_F(ValueSliderTest, ScreenReadersSeeASliderWithItsValue)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&slider_);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::Slider);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("색상"));
    QAccessibleValueInterface* value = accessible->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->minimumValue().toInt(), -180);
    EXPECT_EQ(value->maximumValue().toInt(), 180);
    value->setCurrentValue(45);
    EXPECT_EQ(slider_.Position(), 45);
    EXPECT_EQ(value->currentValue().toInt(), 45);
    EXPECT_EQ(accessible->text(QAccessible::Value), QStringLiteral("45"));
    EXPECT_EQ(Positions(set_), std::vector<int>{45});
}

} // namespace
