#pragma once

#include <cstdint>

// A line of one colour round the glyphs, outside their edge.
struct TextOutline
{
    static constexpr int kMaxWidth = 20;

    bool on = false;
    uint32_t colour = 0x000000; // 0x00BBGGRR
    int width = 2;              // pixels, 0..kMaxWidth

    bool operator==(const TextOutline&) const = default;
};

// The text's silhouette (with its outline) moved by an offset and softened
// by a Gaussian blur of the given radius.
struct TextShadow
{
    static constexpr int kMaxOffset = 50;
    static constexpr int kMaxSoftness = 8;

    bool on = false;
    uint32_t colour = 0x000000; // 0x00BBGGRR
    int dx = 3;                 // pixels, -kMaxOffset..kMaxOffset
    int dy = 3;
    int softness = 2; // blur radius in pixels, 0..kMaxSoftness

    bool operator==(const TextShadow&) const = default;
};

// A box behind the text: its layout box grown by the padding, with rounded
// corners, in a colour that may be see-through.
struct TextBox
{
    static constexpr int kMaxPadding = 100;
    static constexpr int kMaxRadius = 100;

    bool on = false;
    uint32_t colour = 0x000000; // 0x00BBGGRR
    int alpha = 128;            // 0 clear .. 255 opaque
    int padding = 6;            // pixels, 0..kMaxPadding
    int radius = 6;             // corner radius in pixels, 0..kMaxRadius

    bool operator==(const TextBox&) const = default;
};

// The caption style of a text item. Each part is off when made; what is on
// lies below the glyphs: the outline nearest them, then the shadow, then
// the box at the bottom.
struct TextDecoration
{
    TextOutline outline;
    TextShadow shadow;
    TextBox box;

    bool Any() const { return outline.on || shadow.on || box.on; }
    bool operator==(const TextDecoration&) const = default;
};
