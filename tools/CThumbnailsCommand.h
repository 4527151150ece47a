#pragma once

#include "CToolArguments.h"

// `pixvel-tool thumbnails FOLDER [--sheet OUT.png]`: lists one category
// folder as the item library does and makes its thumbnails through the same
// worker, printing one line per row in list order: NAME, a tab, and the
// thumbnail's W×H+LEFT+TOP on its 60×60 square ("-" when the file could not
// be decoded). --sheet also writes the squares as a contact sheet, ten to a
// row.
class CThumbnailsCommand
{
public:
    static const char* const kOptions;
    static int Run(CToolArguments& arguments);
};
