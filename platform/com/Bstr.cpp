#include "Bstr.h"

#include <cstdlib>
#include <cstring>

namespace com {

namespace {

// The length prefix sits right before the first unit.
uint32_t* Prefix(BSTR text)
{
    return reinterpret_cast<uint32_t*>(text) - 1;
}

} // namespace

BSTR SysAllocString(const OLECHAR* text)
{
    if (text == nullptr) {
        return nullptr;
    }
    UINT length = 0;
    while (text[length] != 0) {
        ++length;
    }
    return SysAllocStringLen(text, length);
}

BSTR SysAllocStringLen(const OLECHAR* text, UINT length)
{
    // The byte count must fit the 32-bit prefix.
    if (length > (UINT32_MAX - sizeof(uint32_t) - sizeof(OLECHAR)) / sizeof(OLECHAR)) {
        return nullptr;
    }
    const size_t bytes = size_t{length} * sizeof(OLECHAR);
    auto* block = static_cast<uint32_t*>(std::malloc(sizeof(uint32_t) + bytes + sizeof(OLECHAR)));
    if (block == nullptr) {
        return nullptr;
    }
    block[0] = static_cast<uint32_t>(bytes);
    auto* units = reinterpret_cast<BSTR>(block + 1);
    if (text != nullptr) {
        std::memcpy(units, text, bytes);
    } else {
        std::memset(units, 0, bytes);
    }
    units[length] = 0;
    return units;
}

void SysFreeString(BSTR text)
{
    if (text != nullptr) {
        std::free(Prefix(text));
    }
}

UINT SysStringLen(BSTR text)
{
    return SysStringByteLen(text) / sizeof(OLECHAR);
}

UINT SysStringByteLen(BSTR text)
{
    return text == nullptr ? 0 : *Prefix(text);
}

} // namespace com
