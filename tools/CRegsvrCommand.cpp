#include "CRegsvrCommand.h"

#include "CToolError.h"
#include "ComTypes.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <dlfcn.h>

const char* const CRegsvrCommand::kOptions =
    "      MODULE         the module file (like build/webctrl/libvelunarctrl.so)\n"
    "      --unregister   remove the module's registration instead\n"
    "      Prints the function's result code; exit status 0 when it succeeded.\n";

namespace {

// The module stays loaded until the call is done.
class CLoadedModule
{
public:
    explicit CLoadedModule(const QString& path)
    {
        handle_ = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (handle_ == nullptr) {
            throw CToolError(QString("cannot load %1: %2").arg(path, dlerror()));
        }
    }
    ~CLoadedModule() { dlclose(handle_); }
    CLoadedModule(const CLoadedModule&) = delete;
    CLoadedModule& operator=(const CLoadedModule&) = delete;

    void* Function(const char* name) const { return dlsym(handle_, name); }

private:
    void* handle_ = nullptr;
};

} // namespace

int CRegsvrCommand::Run(CToolArguments& arguments)
{
    QString word = arguments.Take("MODULE or --unregister");
    const bool unregister = word == "--unregister";
    if (unregister) {
        word = arguments.Take("MODULE");
    }
    arguments.ExpectEnd();
    // Loaded by its absolute path, never searched for in the library path.
    const QFileInfo file(word);
    if (!file.isFile()) {
        throw CToolError(QString("no module file '%1'").arg(word));
    }
    const CLoadedModule module(file.absoluteFilePath());
    const char* name = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    const auto function = reinterpret_cast<com::HRESULT (*)()>(module.Function(name));
    if (function == nullptr) {
        throw CToolError(QString("%1 exports no %2").arg(file.absoluteFilePath(), name));
    }
    const com::HRESULT result = function();
    std::printf("%s: %s\n", name, com::HresultText(result).c_str());
    return com::SUCCEEDED(result) ? 0 : 1;
}
