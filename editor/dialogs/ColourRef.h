#pragma once

#include <QColor>

#include <cstdint>

// A colour as the editor stores it: 0x00BBGGRR (red in the low byte).
using ColourRef = std::uint32_t;

constexpr ColourRef MakeColourRef(int red, int green, int blue)
{
    return ColourRef(red & 0xFF) | (ColourRef(green & 0xFF) << 8) | (ColourRef(blue & 0xFF) << 16);
}

constexpr int RedOf(ColourRef colour)
{
    return int(colour & 0xFF);
}

constexpr int GreenOf(ColourRef colour)
{
    return int((colour >> 8) & 0xFF);
}

constexpr int BlueOf(ColourRef colour)
{
    return int((colour >> 16) & 0xFF);
}

// Colour tables are written as 0xRRGGBB, the way designers quote colours.
constexpr ColourRef FromRgbHex(std::uint32_t rgb)
{
    return MakeColourRef(int(rgb >> 16), int(rgb >> 8), int(rgb));
}

inline QColor ToQColor(ColourRef colour)
{
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

constexpr ColourRef kWhite = MakeColourRef(255, 255, 255);
constexpr ColourRef kBlack = MakeColourRef(0, 0, 0);
