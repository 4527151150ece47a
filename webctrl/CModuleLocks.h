#pragma once

#include "Unknown.h"

#include <atomic>

// What keeps the module loaded: its live objects (class factories included)
// and the locks taken through IClassFactory::LockServer. DllCanUnloadNow
// answers from these counts.
class CModuleLocks
{
public:
    static void ObjectCreated() { ++objects_; }
    static void ObjectDestroyed() { --objects_; }
    // An unlock without a lock is ignored, so the count never goes negative.
    static void Lock(bool lock)
    {
        if (lock) {
            ++locks_;
            return;
        }
        long held = locks_;
        while (held > 0 && !locks_.compare_exchange_weak(held, held - 1)) {
        }
    }
    static bool CanUnload() { return objects_ == 0 && locks_ == 0; }

private:
    static inline std::atomic<long> objects_{0};
    static inline std::atomic<long> locks_{0};
};

// The reference counting every object of the module shares. The destructor
// is virtual here, after the interface's own functions, so the interface
// layout stays as its callers expect.
template <typename Interface> class CObjectBase : public Interface
{
public:
    CObjectBase() { CModuleLocks::ObjectCreated(); }
    virtual ~CObjectBase() { CModuleLocks::ObjectDestroyed(); }
    CObjectBase(const CObjectBase&) = delete;
    CObjectBase& operator=(const CObjectBase&) = delete;

    com::ULONG AddRef() override { return ++references_; }
    com::ULONG Release() override
    {
        const com::ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

protected:
    // Hands out `self` for any of the `iids`, with a reference added.
    template <typename... Ids>
    com::HRESULT Answer(void** object, void* self, const com::IID& iid, const Ids&... iids)
    {
        if (object == nullptr) {
            return com::E_POINTER;
        }
        if (((iid == iids) || ...)) {
            *object = self;
            AddRef();
            return com::S_OK;
        }
        *object = nullptr;
        return com::E_NOINTERFACE;
    }

private:
    std::atomic<com::ULONG> references_{1};
};
