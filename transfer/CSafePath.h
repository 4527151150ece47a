#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// Paths that reach the transfer code from outside: a page's request, an
// update list, a package entry. Both `\` and `/` separate levels, as they did
// on the platform the packages and pages were made for; the results are
// native paths.
class CSafePath
{
public:
    // `outside` resolved inside `folder`, or nothing when it would lead out
    // of it: an absolute path, a drive letter, a `..` level, a NUL byte, an
    // empty path, or a level below `folder` that is a symbolic link pointing
    // outside `folder`. The last level may be a link: writers replace it
    // rather than write through it.
    static std::optional<std::filesystem::path> Resolve(const std::filesystem::path& folder,
                                                        std::string_view outside);

    // The text before the last separator (`\` or `/`, whichever stands
    // later), or empty text when there is none.
    static std::string FolderPart(std::string_view path);
    // The folder a file lies in ("." for a bare name).
    static std::filesystem::path ParentFolder(const std::filesystem::path& path);
    // `path` with every backslash turned into the native separator.
    static std::string Native(std::string_view path);
    // The text after the last "." of `path`, upper-cased; empty when none.
    static std::string UpperExtension(std::string_view path);
};
