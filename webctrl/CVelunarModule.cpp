#include "CVelunarModule.h"

#include "CClassFactory.h"
#include "CVelunarCtrlCtrl.h"
#include "CVelunarCtrlPropPage.h"
#include "ComGuard.h"
#include "VelunarIds.h"

using namespace com;

namespace {

IUnknown* NewControl()
{
    return static_cast<IDispatch*>(new CVelunarCtrlCtrl);
}

IUnknown* NewPropPage()
{
    return new CVelunarCtrlPropPage;
}

} // namespace

HRESULT CVelunarModule::GetClassObject(const CLSID& clsid, const IID& iid, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    CClassFactory::Creator creator = nullptr;
    if (clsid == velunar::kControlClassId) {
        creator = NewControl;
    } else if (clsid == velunar::kPropPageClassId) {
        creator = NewPropPage;
    } else {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return ComGuard([&] {
        auto* factory = new CClassFactory(creator);
        const HRESULT answer = factory->QueryInterface(iid, object);
        factory->Release();
        return answer;
    });
}

HRESULT CVelunarModule::CanUnloadNow()
{
    return CModuleLocks::CanUnload() ? S_OK : S_FALSE;
}
