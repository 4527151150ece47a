#include "CClassFactory.h"

#include "ComGuard.h"

using namespace com;

HRESULT CClassFactory::QueryInterface(const IID& iid, void** object)
{
    return Answer(object, static_cast<IClassFactory*>(this), iid, IID_IUnknown, IID_IClassFactory);
}

HRESULT CClassFactory::CreateInstance(IUnknown* outer, const IID& iid, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (outer != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    return ComGuard([&] {
        IUnknown* created = creator_();
        const HRESULT answer = created->QueryInterface(iid, object);
        created->Release();
        return answer;
    });
}

HRESULT CClassFactory::LockServer(BOOL lock)
{
    CModuleLocks::Lock(lock != FALSE);
    return S_OK;
}
