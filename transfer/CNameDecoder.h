#pragma once

#include <optional>
#include <string>
#include <string_view>

// Names that arrive as 8-bit text from outside: package entry names and the
// paths of the update information file. Packages made on a Korean system
// store names in code page 949 unless they set the UTF-8 flag; current tools
// often write UTF-8 without the flag. Every name handed on is valid UTF-8.
class CNameDecoder
{
public:
    // The general-purpose flag bit that marks an entry name as UTF-8.
    static constexpr unsigned kUtf8Flag = 0x0800;

    // `bytes` as UTF-8: as they are when flagged UTF-8 (and valid); unflagged,
    // as they are when they are valid UTF-8, else decoded from code page 949.
    // Nothing when the bytes are neither.
    static std::optional<std::string> Decode(std::string_view bytes, bool flaggedUtf8 = false);
    static bool IsValidUtf8(std::string_view bytes);
};
