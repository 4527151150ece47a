#pragma once

#include "Bstr.h"

namespace com {

enum : VARTYPE
{
    VT_EMPTY = 0,
    VT_I4 = 3,
    VT_BSTR = 8,
    VT_BOOL = 11,
};

constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

// A tagged value of the automation types the launcher uses: 32-bit integer,
// string and boolean. A variant owns its string.
struct VARIANT
{
    VARTYPE vt = VT_EMPTY;
    WORD wReserved1 = 0;
    WORD wReserved2 = 0;
    WORD wReserved3 = 0;
    union {
        LONG lVal;
        VARIANT_BOOL boolVal;
        BSTR bstrVal;
    };
};
using VARIANTARG = VARIANT;

extern "C" {
void VariantInit(VARIANT* value);
// Frees an owned string and leaves the variant empty.
HRESULT VariantClear(VARIANT* value);
// `destination` (cleared first) becomes `source` as type `type`: integers
// become decimal text and back (the whole text must be a 32-bit number),
// booleans become -1 or 0; any other pair is DISP_E_TYPEMISMATCH.
// `destination` may be `source`.
HRESULT VariantChangeType(VARIANT* destination, const VARIANT* source, WORD flags, VARTYPE type);
}

} // namespace com
