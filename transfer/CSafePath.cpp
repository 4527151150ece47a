#include "CSafePath.h"

#include <algorithm>
#include <cctype>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

bool IsSeparator(char c)
{
    return c == '/' || c == '\\';
}

std::vector<std::string_view> SplitLevels(std::string_view path)
{
    std::vector<std::string_view> levels;
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || IsSeparator(path[i])) {
            const std::string_view level = path.substr(start, i - start);
            if (!level.empty() && level != ".") {
                levels.push_back(level);
            }
            start = i + 1;
        }
    }
    return levels;
}

bool IsDriveLetter(std::string_view level)
{
    return level.size() >= 2 && std::isalpha(static_cast<unsigned char>(level[0])) &&
           level[1] == ':';
}

// True when `inner` is `outer` or lies below it; both are canonical.
bool IsWithin(const fs::path& inner, const fs::path& outer)
{
    auto [outerEnd, innerAt] =
        std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
    return outerEnd == outer.end();
}

// What a level of a path is on disk, without following a link.
fs::file_type LevelType(const fs::path& level)
{
    std::error_code error;
    return fs::symlink_status(level, error).type();
}

} // namespace

std::optional<fs::path> CSafePath::Resolve(const fs::path& folder, std::string_view outside)
{
    if (outside.empty() || IsSeparator(outside.front()) ||
        outside.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    const std::vector<std::string_view> levels = SplitLevels(outside);
    if (levels.empty() || IsDriveLetter(levels.front()) ||
        std::ranges::find(levels, std::string_view("..")) != levels.end()) {
        return std::nullopt;
    }
    // A level below the folder that is a symbolic link must resolve inside
    // the folder; the folder itself is resolved only when one is met.
    fs::path result = folder;
    std::optional<fs::path> canonicalFolder;
    bool exists = true; // below a missing level nothing exists, links neither
    for (size_t i = 0; i < levels.size(); ++i) {
        result /= fs::path(std::string(levels[i]));
        if (i + 1 == levels.size() || !exists) {
            continue;
        }
        const fs::file_type type = LevelType(result);
        exists = type != fs::file_type::not_found;
        if (type != fs::file_type::symlink) {
            continue;
        }
        std::error_code error;
        if (!canonicalFolder) {
            canonicalFolder = fs::weakly_canonical(folder, error);
        }
        const fs::path target = fs::weakly_canonical(result, error);
        if (error || !IsWithin(target, *canonicalFolder)) {
            return std::nullopt;
        }
    }
    return result;
}

std::string CSafePath::FolderPart(std::string_view path)
{
    const size_t last = path.find_last_of("/\\");
    return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last));
}

fs::path CSafePath::ParentFolder(const fs::path& path)
{
    return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

std::string CSafePath::Native(std::string_view path)
{
    std::string native(path);
    std::ranges::replace(native, '\\', '/');
    return native;
}

std::string CSafePath::UpperExtension(std::string_view path)
{
    const size_t dot = path.rfind('.');
    std::string extension =
        dot == std::string_view::npos ? std::string() : std::string(path.substr(dot + 1));
    std::ranges::transform(extension, extension.begin(),
                           [](unsigned char c) { return char(std::toupper(c)); });
    return extension;
}
