#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace com {

// A 128-bit identifier of a class, an interface or a type library.
struct GUID
{
    uint32_t Data1 = 0;
    uint16_t Data2 = 0;
    uint16_t Data3 = 0;
    uint8_t Data4[8] = {};

    friend bool operator==(const GUID&, const GUID&) = default;
};
using IID = GUID;
using CLSID = GUID;

// Reads the registry form "{8-4-4-4-12}" (hexadecimal digits of either case,
// braces required); nothing for any other text.
std::optional<GUID> ParseGuid(std::string_view text);
// The registry form "{6CCF2600-8E27-488A-A4E8-0736D4599923}", upper case.
std::string FormatGuid(const GUID& guid);

inline constexpr IID IID_NULL = {};
inline constexpr IID IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IClassFactory = {
    0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IDispatch = {
    0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

} // namespace com
