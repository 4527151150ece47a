#pragma once

#include "ComTypes.h"

#include <string>

namespace com {

// A module file loaded by its absolute path (never searched for in the
// library path), kept loaded while the object lives.
class CModuleFile
{
public:
    // Throws std::runtime_error with the loader's reason when the file
    // cannot be loaded.
    explicit CModuleFile(const std::string& path);
    ~CModuleFile();
    CModuleFile(const CModuleFile&) = delete;
    CModuleFile& operator=(const CModuleFile&) = delete;

    void* Function(const char* name) const;

    // Loads the module and calls its DllRegisterServer (or
    // DllUnregisterServer). Throws std::runtime_error when the module
    // cannot be loaded or does not export the function.
    static HRESULT CallRegistration(const std::string& path, bool unregister);

private:
    void* handle_ = nullptr;
};

} // namespace com
