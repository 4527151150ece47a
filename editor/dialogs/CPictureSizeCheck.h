#pragma once

#include <QSize>

#include <optional>

class QWidget;

// The sizes a new or resized picture may have: at least 1 and at most 30000
// pixels on a side, and at most 600 megapixels in all.
class CPictureSizeCheck
{
public:
    static constexpr int kMaxSide = 30000;
    static constexpr qint64 kMaxPixels = 600'000'000;

    // The field to correct after a refusal.
    enum class Refused
    {
        None,
        Width, // also when only the product of both is too big
        Height,
    };

    static bool IsAcceptable(std::optional<int> width, std::optional<int> height);
    // Checks a typed size; a refused size is explained in a message box.
    static Refused Check(QWidget* parent, std::optional<int> width, std::optional<int> height);
    // Says that a picture of an accepted size could still not be made.
    static void ReportNoMemory(QWidget* parent);
};
