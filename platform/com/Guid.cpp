#include "Guid.h"

#include <array>
#include <cstdio>

namespace com {

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

std::optional<GUID> ParseGuid(std::string_view text)
{
    static constexpr std::string_view kPattern = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
    if (text.size() != kPattern.size()) {
        return std::nullopt;
    }
    // The 32 digits in order, checked against the pattern on the way.
    std::array<uint8_t, 16> bytes{};
    size_t digit = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (kPattern[i] != 'X') {
            if (text[i] != kPattern[i]) {
                return std::nullopt;
            }
            continue;
        }
        const int value = HexDigit(text[i]);
        if (value < 0) {
            return std::nullopt;
        }
        bytes[digit / 2] = static_cast<uint8_t>(bytes[digit / 2] << 4 | value);
        ++digit;
    }
    GUID guid;
    guid.Data1 =
        uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
    guid.Data2 = static_cast<uint16_t>(bytes[4] << 8 | bytes[5]);
    guid.Data3 = static_cast<uint16_t>(bytes[6] << 8 | bytes[7]);
    for (size_t i = 0; i < 8; ++i) {
        guid.Data4[i] = bytes[8 + i];
    }
    return guid;
}

std::string FormatGuid(const GUID& guid)
{
    char text[39];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
                  guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                  guid.Data4[6], guid.Data4[7]);
    return text;
}

} // namespace com
