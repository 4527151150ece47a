#pragma once

#include "ComTypes.h"
#include "Guid.h"

namespace com {

// The root of every interface: identity, interface lookup and reference
// counting. Interfaces are tables of virtual functions with no destructor in
// them, so their layout is the same on both sides of a module boundary; an
// object is destroyed by its own last Release.
struct IUnknown
{
    virtual HRESULT QueryInterface(const IID& iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};

// Makes the objects of one class.
struct IClassFactory : IUnknown
{
    // `outer` must be null: aggregation is not supported.
    virtual HRESULT CreateInstance(IUnknown* outer, const IID& iid, void** object) = 0;
    // Keeps the module loaded while `lock` is true (counted).
    virtual HRESULT LockServer(BOOL lock) = 0;

protected:
    ~IClassFactory() = default;
};

// The functions every module exports, by these names, with C linkage.
using DllGetClassObjectFunction = HRESULT (*)(const CLSID& clsid, const IID& iid, void** object);
using DllCanUnloadNowFunction = HRESULT (*)();
using DllRegisterServerFunction = HRESULT (*)();
using DllUnregisterServerFunction = HRESULT (*)();

} // namespace com
