#pragma once

#include "CToolArguments.h"

// `pixvel-tool reg query KEY [NAME]`, `reg add KEY NAME DATA`,
// `reg delete KEY [NAME]`: reads and writes the programs' settings store
// from scripts (KEY like HKCU\Software\Pixvel).
class CRegCommand
{
public:
    static const char* const kOptions;
    static int Run(CToolArguments& arguments);
};
