#pragma once

#include "ColourRef.h"

#include <QString>
#include <QStringView>

#include <optional>

// A colour as people write it: "#RRGGBB".
QString ColourHexText(ColourRef colour);

// The colour of "#RRGGBB" or "RRGGBB" (either case, blanks around it
// ignored); nothing for any other text.
std::optional<ColourRef> ParseColourHex(QStringView text);
