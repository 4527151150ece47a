#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One request a page sent: what to fetch, from where, to which file below
// the download folder, and the size the sender announced.
struct DownloadRequest
{
    std::string name;
    std::string address;
    std::string file; // relative to the download folder; `\` or `/` separate levels
    uint32_t size = 0;
    int row = -1;       // the list row that shows it
    bool valid = false; // the text had exactly three pieces
};

// Reads the copy-data text of a request: name, "||", address, "||", file.
class CDownloadRequest
{
public:
    static constexpr std::string_view kSeparator = "||";

    // The text up to its first NUL split at every "||", left to right; empty
    // pieces count, and the text after the last separator is the last piece.
    static std::vector<std::string> Split(std::string_view text);
    // A request with size = `dataWord`; exactly three pieces fill name,
    // address and file, any other count leaves them empty and the request
    // not valid (it is still queued, and dropped by the worker).
    static DownloadRequest Parse(uint32_t dataWord, std::string_view bytes);
};
