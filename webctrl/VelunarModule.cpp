// libvelunarctrl.so: the launcher module. Exports the four functions every
// in-process server offers, with C linkage; nothing else is visible.

#include "CVelunarModule.h"
#include "CVelunarRegistration.h"
#include "ComGuard.h"

#include <QFileInfo>

#include <dlfcn.h>

using namespace com;

#define VELUNAR_EXPORT extern "C" __attribute__((visibility("default")))

VELUNAR_EXPORT HRESULT DllGetClassObject(const CLSID& clsid, const IID& iid, void** object);

namespace {

// The absolute path of this module file, as a host will load it again.
QString ModulePath()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&DllGetClassObject), &info) == 0 ||
        info.dli_fname == nullptr) {
        return {};
    }
    return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).canonicalFilePath();
}

} // namespace

VELUNAR_EXPORT HRESULT DllGetClassObject(const CLSID& clsid, const IID& iid, void** object)
{
    return CVelunarModule::GetClassObject(clsid, iid, object);
}

VELUNAR_EXPORT HRESULT DllCanUnloadNow()
{
    return CVelunarModule::CanUnloadNow();
}

VELUNAR_EXPORT HRESULT DllRegisterServer()
{
    return ComGuard([] {
        const QString path = ModulePath();
        return path.isEmpty() ? SELFREG_E_TYPELIB : CVelunarRegistration::Register(path);
    });
}

VELUNAR_EXPORT HRESULT DllUnregisterServer()
{
    return ComGuard([] { return CVelunarRegistration::Unregister(); });
}
