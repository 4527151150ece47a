#pragma once

#include "CToolArguments.h"

struct ItemEffects;

// The colour-effect options of `pixvel-tool render`, within the ranges of the
// editor's adjustment pages. Each option sets one field of an item's effects,
// so the same parser serves whichever item the options apply to.
class CEffectOptions
{
public:
    // When the next word is an effect option, takes it with its value into
    // `effects` and returns true; otherwise takes nothing and returns false.
    // A value out of range or malformed is refused with a CToolError.
    static bool TakeOption(CToolArguments& arguments, ItemEffects& effects);
};
