#pragma once

#include "ColourRef.h"

#include <QString>

#include <vector>

// The colours last chosen through any colour button of the program, newest
// first, at most eight and each once. They live in the settings store, so
// every dialog and every later start sees the same row: value
// `RECENT_COLOURS` of `HKEY_CURRENT_USER\Software\Pixvel`, the colours as
// "#RRGGBB" joined by commas, newest first.
class CRecentColours
{
public:
    static constexpr int kCount = 8;
    static constexpr const char* kKey = "HKEY_CURRENT_USER\\Software\\Pixvel";
    static constexpr const char* kValue = "RECENT_COLOURS";

    static std::vector<ColourRef> Load();
    // Puts the colour at the head of the stored row.
    static void Add(ColourRef colour);

    // The stored text read back: entries that are no "#RRGGBB" colour and
    // repeats are left out, and so is everything after the eighth colour.
    static std::vector<ColourRef> Parse(const QString& text);
    static QString Format(const std::vector<ColourRef>& colours);
};
