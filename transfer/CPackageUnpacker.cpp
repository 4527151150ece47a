#include "CPackageUnpacker.h"

#include "CAtomicFile.h"
#include "CDownloadEngine.h"
#include "CFileException.h"
#include "CNameDecoder.h"
#include "CPartialFiles.h"
#include "CSafePath.h"
#include "CUnpackBudget.h"
#include "CZipReader.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unordered_set>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Packages smaller than this (compressed) are unpacked on the calling thread.
constexpr uint64_t kMinBytesToShare = 1024 * 1024;
constexpr unsigned kMaxWorkers = 4;

enum class Outcome : unsigned char
{
    Folder,
    Written,
    Skipped,
};

// One entry as the directory lists it, with the file it goes to: nothing
// when its name leads out of the folder or is neither UTF-8 nor code page 949.
struct PlannedEntry
{
    std::string name;
    std::optional<fs::path> output;
    bool folder = false;
};

bool IsFolderEntry(const std::string& name)
{
    return !name.empty() && (name.back() == '/' || name.back() == '\\');
}

// Takes the execute bits off a written file.
void DropExecuteBits(CAtomicFile& file)
{
    struct stat status
    {
    };
    const int fd = file.Descriptor();
    if (fstat(fd, &status) != 0 || fchmod(fd, status.st_mode & 0666) != 0) {
        throw CFileException(std::string("cannot set the file's mode (") + std::strerror(errno) +
                                 ")",
                             file.Target().string());
    }
}

// Copies the current entry into `file` through `chunk`; throws on a damaged
// entry.
void CopyEntry(CZipReader& reader, CAtomicFile& file, std::vector<char>& chunk, EntryModes modes)
{
    reader.OpenEntry();
    for (;;) {
        const size_t got = reader.ReadEntry(chunk.data(), chunk.size());
        if (got == 0) {
            break;
        }
        file.Write(chunk.data(), got);
    }
    ZipEntryInfo info;
    reader.GetEntryInfo(&info);
    CZipReader::SetOutputFileTimes(file, info);
    if (modes == EntryModes::NoExecute) {
        DropExecuteBits(file);
    }
    reader.CloseEntry();
}

// Makes the folder of an output file unless it is the one made last.
void MakeFolderOf(const fs::path& output, std::string& lastFolder)
{
    const fs::path folder = output.parent_path();
    if (folder.native() == lastFolder) {
        return;
    }
    std::error_code error;
    if (!fs::is_directory(folder, error)) {
        CDownloadEngine::MakeFolders(folder.native());
    }
    lastFolder = folder.native();
}

// Writes the current entry; false when its output could not be opened or
// written (the file then stays as it was).
bool WriteEntry(CZipReader& reader, const fs::path& output, UnopenablePolicy policy,
                EntryModes modes, std::vector<char>& chunk)
{
    CAtomicFile file;
    if (!file.Open(output)) {
        return false;
    }
    try {
        CopyEntry(reader, file, chunk, modes);
    } catch (const CFileException&) {
        if (policy == UnopenablePolicy::Fail) {
            throw;
        }
        return false;
    }
    file.Commit();
    return true;
}

// The bytes a package holds packed and the bytes it declares unpacked.
struct PackageSizes
{
    uint64_t packed = 0;
    uint64_t declared = 0;
};

// The entries of a package, read from its central directory, and its sizes.
std::vector<PlannedEntry> Plan(const std::string& package, const fs::path& folder,
                               PackageSizes& sizes)
{
    std::vector<PlannedEntry> plan;
    sizes = {};
    CZipReader reader;
    reader.OpenArchive(package);
    for (bool more = reader.HasEntry(); more; more = reader.GoToNextEntry()) {
        ZipEntryInfo info;
        reader.GetEntryInfo(&info);
        PlannedEntry entry{reader.EntryName(), std::nullopt, false};
        const auto name =
            CNameDecoder::Decode(entry.name, (info.flags & CNameDecoder::kUtf8Flag) != 0);
        if (name) {
            entry.output = CSafePath::Resolve(folder, *name);
            entry.folder = IsFolderEntry(*name);
        }
        sizes.packed += info.compressedSize;
        sizes.declared += info.uncompressedSize;
        plan.push_back(std::move(entry));
    }
    reader.CloseArchive();
    return plan;
}

// Whether two entries write the same file: their order then decides what
// stays, so the package is unpacked in order on one thread.
bool HasRepeatedOutputs(const std::vector<PlannedEntry>& plan)
{
    std::unordered_set<std::string> outputs;
    for (const PlannedEntry& entry : plan) {
        if (entry.output && !entry.folder && !outputs.insert(entry.output->native()).second) {
            return true;
        }
    }
    return false;
}

// The partial files other runs left in the folders this package writes to.
void RemoveStalePartialFiles(const std::vector<PlannedEntry>& plan, const fs::path& folder)
{
    std::unordered_set<std::string> folders{folder.native()};
    for (const PlannedEntry& entry : plan) {
        if (entry.output && !entry.folder) {
            folders.insert(entry.output->parent_path().native());
        }
    }
    for (const std::string& each : folders) {
        CPartialFiles::RemoveStale(each);
    }
}

// Entries handed out to workers in package order; each worker reads the
// package through a reader of its own. The first failure in package order
// wins: no entry after it is started, and it is thrown again at the end.
class CUnpackRun
{
public:
    CUnpackRun(const std::string& package, const std::vector<PlannedEntry>& plan,
               UnopenablePolicy policy, EntryModes modes)
        : package_(package), plan_(plan), policy_(policy), modes_(modes), outcomes_(plan.size())
    {}

    void Work() noexcept
    {
        size_t index = 0;
        try {
            CZipReader reader;
            reader.OpenArchive(package_);
            std::vector<char> chunk(CPackageUnpacker::kCopyChunk);
            std::string lastFolder; // the folder this worker made or found last
            size_t at = 0;
            while ((index = next_++) < plan_.size() && index < failedAt_) {
                for (; at < index; ++at) {
                    reader.GoToNextEntry();
                }
                outcomes_[index] = Process(reader, plan_[index], chunk, lastFolder);
            }
        } catch (...) {
            Record(index, std::current_exception());
        }
    }

    UnpackReport Report() const
    {
        if (failure_) {
            std::rethrow_exception(failure_);
        }
        UnpackReport report;
        for (size_t index = 0; index < plan_.size(); ++index) {
            if (outcomes_[index] == Outcome::Written) {
                report.written.push_back(*plan_[index].output);
            } else if (outcomes_[index] == Outcome::Skipped) {
                report.skipped.push_back(plan_[index].name);
            }
        }
        return report;
    }

private:
    Outcome Process(CZipReader& reader, const PlannedEntry& entry, std::vector<char>& chunk,
                    std::string& lastFolder) const
    {
        if (entry.output && entry.folder) {
            CDownloadEngine::MakeFolders(entry.output->native());
            std::error_code error;
            if (fs::is_directory(*entry.output, error)) {
                return Outcome::Folder;
            }
        } else if (entry.output) {
            MakeFolderOf(*entry.output, lastFolder);
            if (WriteEntry(reader, *entry.output, policy_, modes_, chunk)) {
                return Outcome::Written;
            }
        }
        if (policy_ == UnopenablePolicy::Fail) {
            throw CFileException("cannot write the package entry", entry.name);
        }
        return Outcome::Skipped;
    }

    void Record(size_t index, std::exception_ptr failure) noexcept
    {
        const std::scoped_lock guard(lock_);
        if (index < failedAt_) {
            failedAt_ = index;
            failure_ = std::move(failure);
        }
    }

    const std::string& package_;
    const std::vector<PlannedEntry>& plan_;
    const UnopenablePolicy policy_;
    const EntryModes modes_;
    std::vector<Outcome> outcomes_; // each written by the worker that took the entry
    std::atomic<size_t> next_{0};
    std::atomic<size_t> failedAt_{SIZE_MAX};
    std::mutex lock_;
    std::exception_ptr failure_;
};

unsigned WorkerCount(const std::vector<PlannedEntry>& plan, uint64_t packedBytes)
{
    if (packedBytes < kMinBytesToShare || HasRepeatedOutputs(plan)) {
        return 1;
    }
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    return unsigned(std::min<size_t>({cores, kMaxWorkers, plan.size()}));
}

} // namespace

UnpackReport CPackageUnpacker::Unpack(const std::string& package, const fs::path& folder,
                                      UnopenablePolicy policy, EntryModes modes)
{
    PackageSizes sizes;
    const std::vector<PlannedEntry> plan = Plan(package, folder, sizes);
    std::error_code error;
    const uint64_t packageSize = fs::file_size(package, error);
    CUnpackBudget::Check(sizes.declared, error ? 0 : packageSize, CUnpackBudget::FreeBytes(folder));
    RemoveStalePartialFiles(plan, folder);
    CUnpackRun run(package, plan, policy, modes);
    std::vector<std::thread> helpers;
    for (unsigned helper = 1; helper < WorkerCount(plan, sizes.packed); ++helper) {
        try {
            helpers.emplace_back(&CUnpackRun::Work, &run);
        } catch (...) {
            break; // no thread to be had: fewer workers share the entries
        }
    }
    run.Work();
    for (std::thread& helper : helpers) {
        helper.join();
    }
    return run.Report();
}
