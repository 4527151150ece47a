#include "CColourValue.h"

#include <gtest/gtest.h>

namespace {

struct Fields
{
    int h, s, l;
};

Fields FieldsOf(ColourRef colour)
{
    const CColourValue value(colour);
    return {value.HueField(), value.SaturationField(), value.LuminanceField()};
}

} // namespace

TEST(ColourValueTest, PrimaryAndGreyFieldsMatchThePickerExamples)
{
    const Fields red = FieldsOf(MakeColourRef(255, 0, 0));
    EXPECT_EQ(red.h, 255);
    EXPECT_EQ(red.s, 255);
    EXPECT_EQ(red.l, 128);
    EXPECT_FLOAT_EQ(CColourValue(MakeColourRef(255, 0, 0)).Hue(), 360.0f);
    EXPECT_EQ(FieldsOf(MakeColourRef(0, 255, 0)).h, 85);
    const Fields grey = FieldsOf(MakeColourRef(128, 128, 128));
    EXPECT_EQ(grey.h, 0);
    EXPECT_EQ(grey.s, 0);
    EXPECT_EQ(grey.l, 128);
}

TEST(ColourValueTest, TiedMaximaTakeTheLaterChannelsHue)
{
    // Red and green tie: the green formula wins (60), not red's 420 − 360.
    EXPECT_FLOAT_EQ(CColourValue(MakeColourRef(255, 255, 0)).Hue(), 60.0f);
    // Green and blue tie: the blue formula wins.
    EXPECT_FLOAT_EQ(CColourValue(MakeColourRef(0, 255, 255)).Hue(), 180.0f);
    // Red and blue tie: blue's formula gives 300.
    EXPECT_FLOAT_EQ(CColourValue(MakeColourRef(255, 0, 255)).Hue(), 300.0f);
}

TEST(ColourValueTest, HslToRgbTruncatesAndWrapsOnce)
{
    // Grey at luminance one half is 127.5, truncated.
    EXPECT_EQ(CColourValue::FromHsl(0, 0, 0.5f), MakeColourRef(127, 127, 127));
    // Hue 0 and hue 360 both give pure red: v(−120) and v(480) wrap by one step.
    EXPECT_EQ(CColourValue::FromHsl(0, 1, 0.5f), MakeColourRef(255, 0, 0));
    EXPECT_EQ(CColourValue::FromHsl(360, 1, 0.5f), MakeColourRef(255, 0, 0));
    EXPECT_EQ(CColourValue::FromHsl(240, 1, 0.5f), MakeColourRef(0, 0, 255));
    EXPECT_EQ(CColourValue::FromHsl(0, 1, 1), MakeColourRef(255, 255, 255));
}

// Truncation may cost one step, never more, and never adds one.
TEST(ColourValueTest, RoundTripLosesAtMostOneStepPerChannel)
{
    const auto near = [](int back, int original) {
        return back == original || back == original - 1;
    };
    for (int r = 0; r < 256; r += 5) {
        for (int g = 0; g < 256; g += 3) {
            for (int b = 0; b < 256; b += 7) {
                const CColourValue value(MakeColourRef(r, g, b));
                const ColourRef back =
                    CColourValue::FromHsl(value.Hue(), value.Saturation(), value.Luminance());
                ASSERT_TRUE(near(RedOf(back), r) && near(GreenOf(back), g) && near(BlueOf(back), b))
                    << r << ' ' << g << ' ' << b << " came back as " << RedOf(back) << ' '
                    << GreenOf(back) << ' ' << BlueOf(back);
            }
        }
    }
}

TEST(ColourValueTest, SettingOneSideRecomputesTheOther)
{
    CColourValue value(MakeColourRef(255, 0, 0));
    value.SetLuminance(0);
    EXPECT_EQ(value.Colour(), MakeColourRef(0, 0, 0));
    value.SetLuminance(0.5f);
    EXPECT_EQ(value.Colour(), MakeColourRef(255, 0, 0));
    value.SetBlue(255);
    EXPECT_FLOAT_EQ(value.Hue(), 300.0f);
    value.SetSaturation(0);
    EXPECT_EQ(value.Colour(), MakeColourRef(127, 127, 127));
}
