#pragma once

#include <cstdint>
#include <filesystem>

// How much a package may unpack to: at most kRatio times its own size or
// kMinBudget, whichever is larger, and never so much that less than
// kFreeReserve stays free on the file system written to. The sizes are the
// ones the package declares; the reader refuses an entry that grows past
// its declared size, so the declared sum bounds what is written.
class CUnpackBudget
{
public:
    static constexpr uint64_t kRatio = 64;
    static constexpr uint64_t kMinBudget = uint64_t(64) << 20;
    static constexpr uint64_t kFreeReserve = uint64_t(256) << 20;

    // Throws CUnpackRefused when `declared` bytes unpacked from a package
    // of `packageSize` bytes onto a file system with `freeBytes` free are
    // beyond the budget.
    static void Check(uint64_t declared, uint64_t packageSize, uint64_t freeBytes);
    // The bytes this user may still write on the file system that holds
    // `folder`, or its nearest existing parent (statvfs).
    static uint64_t FreeBytes(const std::filesystem::path& folder);
};
