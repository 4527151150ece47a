#include "CPackageUnpacker.h"

#include "CAtomicFile.h"
#include "CDownloadEngine.h"
#include "CFileException.h"
#include "CSafePath.h"
#include "CZipReader.h"

#include <memory>

namespace fs = std::filesystem;

namespace {

bool IsFolderEntry(const std::string& name)
{
    return !name.empty() && (name.back() == '/' || name.back() == '\\');
}

// Copies the current entry into `file`; throws on a damaged entry.
void CopyEntry(CZipReader& reader, CAtomicFile& file)
{
    const std::unique_ptr<char[]> chunk(new char[CPackageUnpacker::kCopyChunk]);
    reader.OpenEntry();
    for (;;) {
        const size_t got = reader.ReadEntry(chunk.get(), CPackageUnpacker::kCopyChunk);
        if (got == 0) {
            break;
        }
        file.Write(chunk.get(), got);
    }
    ZipEntryInfo info;
    reader.GetEntryInfo(&info);
    CZipReader::SetOutputFileTimes(file, info);
    reader.CloseEntry();
}

// Writes the current entry; false when its output could not be opened or
// written (the file then stays as it was).
bool WriteEntry(CZipReader& reader, const fs::path& output, UnopenablePolicy policy)
{
    CDownloadEngine::MakeFolders(output.parent_path().native());
    CAtomicFile file;
    if (!file.Open(output)) {
        return false;
    }
    try {
        CopyEntry(reader, file);
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
    CZipReader reader;
    reader.OpenArchive(package);
    for (bool more = reader.HasEntry(); more; more = reader.GoToNextEntry()) {
        const std::string name = reader.EntryName();
        const std::optional<fs::path> output = CSafePath::Resolve(folder, name);
        bool done = output.has_value();
        if (done && IsFolderEntry(name)) {
            CDownloadEngine::MakeFolders(output->native());
        } else if (done) {
            done = WriteEntry(reader, *output, policy);
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
