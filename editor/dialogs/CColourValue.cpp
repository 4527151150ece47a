#include "CColourValue.h"

#include <algorithm>
#include <cmath>

namespace {

// One channel of an HSL colour: h is brought into 0 … 360 by a single step.
float Channel(float m1, float m2, float h)
{
    if (h > 360) {
        h -= 360;
    } else if (h < 0) {
        h += 360;
    }
    if (h < 60) {
        return m1 + (m2 - m1) * h / 60;
    }
    if (h < 180) {
        return m2;
    }
    if (h < 240) {
        return m1 + (m2 - m1) * (240 - h) / 60;
    }
    return m1;
}

int ToByte(float value)
{
    return std::clamp(int(value * 255), 0, 255);
}

int ToField(float value)
{
    return int(std::lround(value));
}

} // namespace

CColourValue::CColourValue(ColourRef colour)
{
    SetColour(colour);
}

void CColourValue::SetColour(ColourRef colour)
{
    red_ = RedOf(colour);
    green_ = GreenOf(colour);
    blue_ = BlueOf(colour);
    UpdateHsl();
}

void CColourValue::SetRed(int red)
{
    red_ = std::clamp(red, 0, 255);
    UpdateHsl();
}

void CColourValue::SetGreen(int green)
{
    green_ = std::clamp(green, 0, 255);
    UpdateHsl();
}

void CColourValue::SetBlue(int blue)
{
    blue_ = std::clamp(blue, 0, 255);
    UpdateHsl();
}

void CColourValue::SetHue(float hue)
{
    hue_ = std::clamp(hue, 0.0f, 360.0f);
    UpdateRgb();
}

void CColourValue::SetSaturation(float saturation)
{
    saturation_ = std::clamp(saturation, 0.0f, 1.0f);
    UpdateRgb();
}

void CColourValue::SetLuminance(float luminance)
{
    luminance_ = std::clamp(luminance, 0.0f, 1.0f);
    UpdateRgb();
}

int CColourValue::HueField() const
{
    return ToField(hue_ * 255 / 360);
}

int CColourValue::SaturationField() const
{
    return ToField(saturation_ * 255);
}

int CColourValue::LuminanceField() const
{
    return ToField(luminance_ * 255);
}

// The hue tests run in the order red, green, blue and the later one wins, so
// a tie between two maxima takes the later channel's formula.
void CColourValue::UpdateHsl()
{
    const int max = std::max({red_, green_, blue_});
    const int min = std::min({red_, green_, blue_});
    luminance_ = float(max + min) / 510;
    if (max == min) {
        saturation_ = 0;
        hue_ = 0;
        return;
    }
    const float d = float(max - min);
    saturation_ = luminance_ <= 0.5f ? d / float(max + min) : d / float(510 - max - min);
    const float rc = float(max - red_) / d;
    const float gc = float(max - green_) / d;
    const float bc = float(max - blue_) / d;
    if (red_ == max) {
        hue_ = (6 + bc - gc) * 60;
    }
    if (green_ == max) {
        hue_ = (2 + rc - bc) * 60;
    }
    if (blue_ == max) {
        hue_ = (4 + gc - rc) * 60;
    }
    if (hue_ > 360) {
        hue_ -= 360;
    }
}

void CColourValue::UpdateRgb()
{
    const ColourRef colour = FromHsl(hue_, saturation_, luminance_);
    red_ = RedOf(colour);
    green_ = GreenOf(colour);
    blue_ = BlueOf(colour);
}

ColourRef CColourValue::FromHsl(float hue, float saturation, float luminance)
{
    if (saturation == 0) {
        const int grey = ToByte(luminance);
        return MakeColourRef(grey, grey, grey);
    }
    const float m2 = luminance <= 0.5f ? luminance * (1 + saturation)
                                       : luminance + saturation - luminance * saturation;
    const float m1 = 2 * luminance - m2;
    return MakeColourRef(ToByte(Channel(m1, m2, hue + 120)), ToByte(Channel(m1, m2, hue)),
                         ToByte(Channel(m1, m2, hue - 120)));
}
