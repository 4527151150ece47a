#pragma once

#include "ColourRef.h"

// A colour held both as red, green, blue bytes and as hue (degrees, 0 … 360),
// saturation and luminance (0 … 1). Setting one side recomputes the other, with
// the rounding the colour picker's fields have always shown.
class CColourValue
{
public:
    CColourValue() = default;
    explicit CColourValue(ColourRef colour);

    void SetColour(ColourRef colour);
    void SetRed(int red);
    void SetGreen(int green);
    void SetBlue(int blue);
    void SetHue(float hue);
    void SetSaturation(float saturation);
    void SetLuminance(float luminance);

    ColourRef Colour() const { return MakeColourRef(red_, green_, blue_); }
    int Red() const { return red_; }
    int Green() const { return green_; }
    int Blue() const { return blue_; }
    float Hue() const { return hue_; }
    float Saturation() const { return saturation_; }
    float Luminance() const { return luminance_; }

    // The values the picker's fields show, each 0 … 255.
    int HueField() const;
    int SaturationField() const;
    int LuminanceField() const;

    // Red, green, blue for a hue, saturation and luminance.
    static ColourRef FromHsl(float hue, float saturation, float luminance);

private:
    void UpdateHsl();
    void UpdateRgb();

    int red_ = 0;
    int green_ = 0;
    int blue_ = 0;
    float hue_ = 0;
    float saturation_ = 0;
    float luminance_ = 0;
};
