#pragma once

#include "Unknown.h"
#include "Variant.h"

namespace com {

constexpr DISPID DISPID_UNKNOWN = -1;
constexpr DISPID DISPID_ABOUTBOX = -552;

constexpr WORD DISPATCH_METHOD = 0x1;
constexpr WORD DISPATCH_PROPERTYGET = 0x2;

// The arguments of one call, the last argument first.
struct DISPPARAMS
{
    VARIANTARG* rgvarg = nullptr;
    DISPID* rgdispidNamedArgs = nullptr;
    UINT cArgs = 0;
    UINT cNamedArgs = 0;
};

// Type information and error details are not offered: objects here answer
// GetTypeInfoCount with 0 and fill no exception record.
struct ITypeInfo;
struct EXCEPINFO;

// Late-bound calls: names are turned into DISPIDs once, then each call
// passes its arguments as variants.
struct IDispatch : IUnknown
{
    virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
    virtual HRESULT GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) = 0;
    // The DISPID of names[0] (names compare without regard to case); further
    // names would be parameter names, which are not offered.
    virtual HRESULT GetIDsOfNames(const IID& iid, OLECHAR** names, UINT count, LCID locale,
                                  DISPID* ids) = 0;
    virtual HRESULT Invoke(DISPID id, const IID& iid, LCID locale, WORD flags,
                           DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                           UINT* argumentError) = 0;

protected:
    ~IDispatch() = default;
};

} // namespace com
