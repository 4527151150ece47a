#pragma once

#include "CToolArguments.h"

// `pixvel-tool send TITLE DATAWORD TEXT`: sends one copy-data message to the
// window with that exact title through the window link and prints the
// receiver's result. Exit status 1 when no window has the title.
class CSendCommand
{
public:
    static const char* const kOptions;
    static int Run(CToolArguments& arguments);
};
