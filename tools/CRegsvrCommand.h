#pragma once

#include "CToolArguments.h"

// `pixvel-tool regsvr [--unregister] MODULE`: loads a module and calls its
// DllRegisterServer (or DllUnregisterServer), printing the result code.
class CRegsvrCommand
{
public:
    static const char* const kOptions;
    static int Run(CToolArguments& arguments);
};
