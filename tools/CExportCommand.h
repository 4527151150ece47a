#pragma once

#include "CToolArguments.h"

// `pixvel-tool export PROJECT OUT.ora`: writes a project as a layered
// OpenRaster file, one layer per item. On any refusal OUT is neither created
// nor changed.
class CExportCommand
{
public:
    static const char* const kOptions;
    static int Run(CToolArguments& arguments);
};
