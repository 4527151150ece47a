#pragma once

#include <filesystem>
#include <string_view>

// The SHA-256 of a file, read in chunks (libsodium's SHA-256).
class CFileDigest
{
public:
    // Whether `text` is a SHA-256 in hexadecimal: 64 digits, either case.
    static bool IsSha256Text(std::string_view text);
    // Whether the file's SHA-256 is the one `expected` writes in
    // hexadecimal; false when the file cannot be read.
    static bool MatchesSha256(const std::filesystem::path& file, std::string_view expected);
};
