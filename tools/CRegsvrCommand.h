#pragma once

#include "CToolArguments.h"
#include "ComTypes.h"

#include <QString>

// `pixvel-tool regsvr [--unregister] MODULE`: loads a module and calls its
// DllRegisterServer (or DllUnregisterServer), printing the result code.
class CRegsvrCommand
{
public:
    static const char* const kOptions;
    static int Run(CToolArguments& arguments);
    // Loads the module file by its absolute path and calls its
    // DllRegisterServer (or DllUnregisterServer); refuses a missing file or
    // function with a CToolError.
    static com::HRESULT CallModule(const QString& path, bool unregister);
};
