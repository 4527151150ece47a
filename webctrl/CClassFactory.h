#pragma once

#include "CModuleLocks.h"
#include "Unknown.h"

// The class object of one class of the module: makes its objects.
class CClassFactory final : public CObjectBase<com::IClassFactory>
{
public:
    // A new object holding one reference.
    using Creator = com::IUnknown* (*)();
    explicit CClassFactory(Creator creator) : creator_(creator) {}

    com::HRESULT QueryInterface(const com::IID& iid, void** object) override;
    com::HRESULT CreateInstance(com::IUnknown* outer, const com::IID& iid, void** object) override;
    com::HRESULT LockServer(com::BOOL lock) override;

private:
    Creator creator_;
};
