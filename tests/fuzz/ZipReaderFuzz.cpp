// libFuzzer target for the ZIP package reader: every input is read as a
// package, each entry's name is resolved below a folder and its bytes are
// read to the end with the CRC-32 checked. Refusals are the expected outcome
// for most inputs; crashes, sanitizer reports and hangs are faults.

#include "CFileException.h"
#include "CSafePath.h"
#include "CZipException.h"
#include "CZipReader.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// Output read per entry before moving on: keeps highly compressed inputs
// from turning one run into minutes of inflating.
constexpr size_t kReadLimit = 8 * 1024 * 1024;

void ReadAllEntries(const std::string& path)
{
    CZipReader reader;
    reader.OpenArchive(path);
    char buffer[4096];
    for (bool more = reader.HasEntry(); more; more = reader.GoToNextEntry()) {
        (void)CSafePath::Resolve("/nonexistent/pixvel-fuzz", reader.EntryName());
        reader.OpenEntry();
        size_t total = 0;
        for (size_t got; total < kReadLimit && (got = reader.ReadEntry(buffer, sizeof buffer));) {
            total += got;
        }
        reader.CloseEntry();
    }
    reader.CloseArchive();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const int fd = memfd_create("package", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size)) {
        return 0;
    }
    try {
        ReadAllEntries(path);
    } catch (const CZipException&) {
    } catch (const CFileException&) {
    }
    return 0;
}
