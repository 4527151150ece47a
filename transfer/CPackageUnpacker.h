#pragma once

#include <filesystem>
#include <string>
#include <vector>

// What happens to an entry whose output file cannot be opened for writing:
// a read-only file, a folder in the way, a name leading out of the target
// folder, or a name that is neither UTF-8 nor code page 949 text.
enum class UnopenablePolicy
{
    Skip, // leave the entry out and go on (the downloader)
    Fail, // stop the whole unpack with CFileException (the updater)
};

// The permission bits of the files written.
enum class EntryModes
{
    AsStored,  // as the package records them (the updater's programs)
    NoExecute, // never an execute bit (items are pictures, never programs)
};

// What an unpack did.
struct UnpackReport
{
    std::vector<std::filesystem::path> written; // files, in package order
    std::vector<std::string> skipped;           // entry names left out
};

// The unpack loop both programs run on a downloaded package: every entry is
// written below the target folder, each file through a temporary file that
// replaces the old one only after its CRC-32 matched. Folder entries create
// their folder; a symbolic-link entry becomes a plain file. Names are decoded
// to UTF-8 (CNameDecoder). A large package is shared out among a few
// threads, one entry at a time in package order; the report and the failure
// thrown are those of the package order. Partial files older than a day in
// the folders written to are removed first. Before anything is written, the
// sizes the package declares are held against its budget (CUnpackBudget).
class CPackageUnpacker
{
public:
    // Chunk in which entry bytes are copied to their files.
    static constexpr size_t kCopyChunk = 256 * 1024;

    // Throws CFileException when the package cannot be opened (and, with
    // the fail policy, for an entry that cannot be written),
    // CUnpackRefused when it is beyond its budget (nothing written) and
    // CZipException when the package is damaged; files written before stay.
    static UnpackReport Unpack(const std::string& package, const std::filesystem::path& folder,
                               UnopenablePolicy policy, EntryModes modes = EntryModes::AsStored);
};
