#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

// The partial files of transfers in progress: the `.pixvel-*.part` files a
// CAtomicFile writes before it renames them over their target. A program
// ended by SIGTERM or SIGINT, or closed while a transfer runs, removes its
// own (InstallSignalCleanup, RemoveAll); a transfer into a folder removes
// those another run left there more than a day ago (RemoveStale).
class CPartialFiles
{
public:
    static constexpr std::chrono::hours kStaleAge{24};

    // Records a partial file; the slot to give to Forget, or -1 when the
    // table is full (the file is then left to RemoveStale).
    static int Remember(const std::string& path) noexcept;
    static void Forget(int slot) noexcept;
    // Removes every partial file recorded now. Safe in a signal handler.
    static void RemoveAll() noexcept;
    // Makes SIGTERM and SIGINT remove the partial files before the process
    // ends by the signal as it would have. Programs call it once at start.
    static void InstallSignalCleanup();
    // Removes the partial files in `folder` (not below it) whose last change
    // is older than `age`; the number removed.
    static int RemoveStale(const std::filesystem::path& folder,
                           std::chrono::seconds age = kStaleAge) noexcept;
    // Whether a file name has the form of a partial file.
    static bool IsPartialName(std::string_view name);
};
