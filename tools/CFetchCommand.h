#pragma once

#include "CToolArguments.h"

// `pixvel-tool fetch URL [FILE]`: without FILE prints the resource as text
// (lines ended by CR LF); with FILE downloads it there with a progress line
// on standard error and unpacks a ZIP package beside itself, deleting the
// package afterwards, as the downloader does.
class CFetchCommand
{
public:
    static const char* const kOptions;
    static int Run(CToolArguments& arguments);
};
