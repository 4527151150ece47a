#pragma once

#include <string>
#include <vector>

// The update information file: "VERSION:", "UPDATE_DATE:", "UPDATE_URL:"
// and any number of "UPDATE_PATH:" entries, matched as bytes anywhere in
// the text, values untrimmed up to the line end. The line after each
// "UPDATE_PATH:" line is "UPDATE_SHA256:" with the SHA-256 of the file as
// served, in 64 hexadecimal digits; readers that know only the keys above
// pass over it.
struct UpdateInfo
{
    std::string remoteVersion;
    std::string updateDate;
    std::string baseUrl;
    std::vector<std::string> paths;  // in file order
    std::vector<std::string> hashes; // one per path; empty when its line is missing or malformed
    std::string source;              // the file as served, which its signature covers
};

class CUpdateInfo
{
public:
    // Finds `key` (from `*position` when given) and copies what follows it
    // up to `terminator` (or the end of the text) into `output`; moves
    // `*position` past the terminator. Not found: `output` becomes empty.
    static bool ExtractValue(const std::string& text, const std::string& key,
                             const std::string& terminator, std::string& output,
                             size_t* position = nullptr);
    // Reads the fetched body (lines ended by CR LF) and decides: true when
    // an update is needed, with `info` filled (but for its source). No update when VERSION,
    // UPDATE_DATE or UPDATE_URL is missing, when the versions are equal byte
    // for byte, or when there is no UPDATE_PATH.
    static bool Decide(const std::string& body, const std::string& installedVersion,
                       UpdateInfo& info);
    // "%sKB/%sKB" with thousands separators; only the received amount when
    // the total is unknown (0).
    static std::string AmountText(uint64_t received, int64_t total);
    // received × 100 / total, 0 when the total is unknown.
    static int ProgressPosition(uint64_t received, int64_t total);
};
