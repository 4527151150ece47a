#include "CPackageUnpacker.h"

#include "CAtomicFile.h"
#include "CDownloadEngine.h"
#include "CFileException.h"
#include "CSafePath.h"
#include "CZipReader.h"

#include <vector>

namespace fs = std::filesystem;

namespace {

bool IsFolderEntry(const std::string& name)
{
    return !name.empty() && (name.back() == '/' || name.back() == '\\');
}

// Copies the current entry into `file` through `chunk`; throws on a damaged
// entry.
void CopyEntry(CZipReader& reader, CAtomicFile& file, std::vector<char>& chunk)
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
    reader.CloseEntry();
}

// Writes the current entry; false when its output could not be opened or
// written (the file then stays as it was).
bool WriteEntry(CZipReader& reader, const fs::path& output, UnopenablePolicy policy,
                std::vector<char>& chunk)
{
    std::error_code error;
    if (!fs::is_directory(output.parent_path(), error)) {
        CDownloadEngine::MakeFolders(output.parent_path().native());
    }
    CAtomicFile file;
    if (!file.Open(output)) {
        return false;
    }
    try {
        CopyEntry(reader, file, chunk);
    } catch (const CFileException&) {
        if (policy == UnopenablePolicy::Fail) {
            throw;
        }
        return false;
    }
    file.Commit();
    return true;
}

} // namespace

UnpackReport CPackageUnpacker::Unpack(const std::string& package, const fs::path& folder,
                                      UnopenablePolicy policy)
{
    UnpackReport report;
    std::vector<char> chunk(kCopyChunk);
    CZipReader reader;
    reader.OpenArchive(package);
    for (bool more = reader.HasEntry(); more; more = reader.GoToNextEntry()) {
        const std::string name = reader.EntryName();
        const std::optional<fs::path> output = CSafePath::Resolve(folder, name);
        bool done = output.has_value();
        if (done && IsFolderEntry(name)) {
            CDownloadEngine::MakeFolders(output->native());
        } else if (done) {
            done = WriteEntry(reader, *output, policy, chunk);
            if (done) {
                report.written.push_back(*output);
            }
        }
        if (!done) {
            if (policy == UnopenablePolicy::Fail) {
                throw CFileException("cannot write the package entry", name);
            }
            report.skipped.push_back(name);
        }
    }
    reader.CloseArchive();
    return report;
}
