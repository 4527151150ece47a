#include "CModuleFile.h"

#include <dlfcn.h>
#include <stdexcept>

namespace com {

CModuleFile::CModuleFile(const std::string& path)
{
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        throw std::runtime_error("cannot load " + path + ": " + dlerror());
    }
}

CModuleFile::~CModuleFile()
{
    dlclose(handle_);
}

void* CModuleFile::Function(const char* name) const
{
    return dlsym(handle_, name);
}

HRESULT CModuleFile::CallRegistration(const std::string& path, bool unregister)
{
    const CModuleFile module(path);
    const char* name = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    const auto function = reinterpret_cast<HRESULT (*)()>(module.Function(name));
    if (function == nullptr) {
        throw std::runtime_error(path + " exports no " + name);
    }
    return function();
}

} // namespace com
