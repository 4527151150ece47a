#pragma once

#include "ComTypes.h"

namespace com {

// An automation string: UTF-16 code units preceded by their length in bytes
// (32 bits) and followed by a NUL; the pointer points at the first unit, so a
// BSTR reads as a NUL-terminated string while it may hold NULs of its own.
// Null is the empty string. Allocated with malloc, so a string made on one
// side of the module boundary is freed on the other.
using OLECHAR = char16_t;
using BSTR = OLECHAR*;

extern "C" {
// A copy of the NUL-terminated `text`; null for null text or when out of memory.
BSTR SysAllocString(const OLECHAR* text);
// `length` units copied from `text` (or left zero when `text` is null).
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);
UINT SysStringByteLen(BSTR text);
}

} // namespace com
