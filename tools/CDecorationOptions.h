#pragma once

#include "CToolArguments.h"

struct TextDecoration;

// The caption-style options of `pixvel-tool render` for a text item:
// --outline #RRGGBB,WIDTH, --shadow #RRGGBB,DX,DY[,SOFT] and
// --box #RRGGBB[AA][,PADDING[,RADIUS]], within the text dialog's ranges.
// Each turns its part on; fields left out keep the part's defaults.
class CDecorationOptions
{
public:
    static bool IsOption(const QString& word);
    // Takes the option and its value into `decoration`; a malformed value
    // or one out of range is refused with a CToolError.
    static void TakeOption(CToolArguments& arguments, TextDecoration& decoration);
};
