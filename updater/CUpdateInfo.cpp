#include "CUpdateInfo.h"

#include "CFileDigest.h"

#include <cstdint>

namespace {

const char* const kLineEnd = "\r\n";
const std::string kHashKey = "UPDATE_SHA256:";

// The hash on the line that starts at `position`, or empty text.
std::string HashAt(const std::string& text, size_t position)
{
    std::string hash;
    if (text.compare(position, kHashKey.size(), kHashKey) != 0 ||
        !CUpdateInfo::ExtractValue(text, kHashKey, kLineEnd, hash, &position) ||
        !CFileDigest::IsSha256Text(hash)) {
        return {};
    }
    return hash;
}

std::string TrimWhiteSpace(const std::string& text)
{
    const char* blanks = " \t\r\n\v\f";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string Thousands(uint64_t value)
{
    std::string digits = std::to_string(value);
    for (size_t at = digits.size(); at > 3; at -= 3) {
        digits.insert(at - 3, ",");
    }
    return digits;
}

} // namespace

bool CUpdateInfo::ExtractValue(const std::string& text, const std::string& key,
                               const std::string& terminator, std::string& output, size_t* position)
{
    const size_t found = text.find(key, position != nullptr ? *position : 0);
    if (found == std::string::npos) {
        output.clear();
        return false;
    }
    const size_t start = found + key.size();
    const size_t end = text.find(terminator, start);
    output = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (position != nullptr) {
        *position = end == std::string::npos ? text.size() : end + terminator.size();
    }
    return true;
}

bool CUpdateInfo::Decide(const std::string& body, const std::string& installedVersion,
                         UpdateInfo& info)
{
    const std::string text = TrimWhiteSpace(body);
    if (!ExtractValue(text, "VERSION:", kLineEnd, info.remoteVersion) ||
        info.remoteVersion == installedVersion ||
        !ExtractValue(text, "UPDATE_DATE:", kLineEnd, info.updateDate) ||
        !ExtractValue(text, "UPDATE_URL:", kLineEnd, info.baseUrl)) {
        return false;
    }
    info.paths.clear();
    info.hashes.clear();
    size_t position = 0;
    std::string path;
    while (ExtractValue(text, "UPDATE_PATH:", kLineEnd, path, &position)) {
        info.paths.push_back(path);
        info.hashes.push_back(HashAt(text, position));
    }
    return !info.paths.empty();
}

std::string CUpdateInfo::AmountText(uint64_t received, int64_t total)
{
    if (total <= 0) {
        return Thousands(received / 1024) + "KB";
    }
    return Thousands(received / 1024) + "KB/" + Thousands(uint64_t(total) / 1024) + "KB";
}

int CUpdateInfo::ProgressPosition(uint64_t received, int64_t total)
{
    return total > 0 ? int(received * 100 / uint64_t(total)) : 0;
}
