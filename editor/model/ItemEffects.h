#pragma once

// The colour effects of one item, applied each time the item is drawn; the
// item's own bitmap never changes. Every field starts at the value that
// leaves the picture unchanged.
struct ItemEffects
{
    int hue = 0;           // degrees
    int saturation = 100;  // percent; 100 unchanged, 0 grey
    int brightness = 0;    // percent, added to R, G, B as brightness / 100
    float contrast = 1.0f; // multiplies R, G, B
    float gamma = 1.0f;    // a gamma above 1 darkens
    float sharpenAmount = 1.0f;
    float sharpenRadius = 1.0f; // Gaussian sigma of the unsharp mask
    float blurRadius = 1.0f;    // Gaussian sigma of the blur
    bool greyscale = false;     // forces saturation 0
    bool invert = false;        // negative
    int opacity = 100;          // percent; 100 opaque

    // 1.0 is the "off" value of all three filter numbers.
    bool SharpenActive() const { return sharpenAmount != 1.0f || sharpenRadius != 1.0f; }
    bool BlurActive() const { return blurRadius != 1.0f; }

    bool operator==(const ItemEffects&) const = default;
};
