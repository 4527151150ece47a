#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <sys/types.h>
#include <unordered_set>
#include <vector>

class CAtomicFile;
struct z_stream_s;

// One entry as its central directory header describes it.
struct ZipEntryInfo
{
    uint16_t versionMadeBy = 0;
    uint16_t versionNeeded = 0;
    uint16_t flags = 0;
    uint16_t method = 0;
    uint32_t dosDateTime = 0; // time in the low half, date in the high half
    uint32_t crc32 = 0;
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
    uint16_t fileNameLength = 0;
    uint16_t extraFieldLength = 0;
    uint16_t commentLength = 0;
    uint16_t diskNumberStart = 0;
    uint16_t internalAttributes = 0;
    uint32_t externalAttributes = 0;
    std::time_t modificationTime = 0; // from the DOS date and time, local time
};

// Reads a ZIP package: finds its central directory, walks the entries and
// delivers each entry's bytes (stored, or deflated through zlib's raw
// inflate) with their CRC-32 checked. It only reads. Failures throw
// CZipException with its cause code; a package that cannot be opened
// throws CFileException. Every offset and size read from the package is
// checked against the file before it is used.
class CZipReader
{
public:
    static constexpr size_t kInputBufferSize = 256 * 1024;

    CZipReader() = default;
    ~CZipReader();
    CZipReader(const CZipReader&) = delete;
    CZipReader& operator=(const CZipReader&) = delete;

    // Opens the package and selects its first entry (none in an empty one).
    // Refuses (cause 11) a package whose entries' headers and data overlap
    // each other or the central directory.
    void OpenArchive(const std::string& path);
    void GoToFirstEntry();
    // Selects the next entry; false when there is none.
    bool GoToNextEntry();
    bool HasEntry() const { return selected_; }
    // Copies the current entry's record and, into each buffer given, up to
    // its size bytes of the name, extra field and comment (NUL-terminated
    // when the whole text fits).
    void GetEntryInfo(ZipEntryInfo* info, char* name = nullptr, size_t nameSize = 0,
                      char* extra = nullptr, size_t extraSize = 0, char* comment = nullptr,
                      size_t commentSize = 0) const;
    // The current entry's name as stored.
    std::string EntryName() const;

    // Checks the local header and prepares reading. Encrypted and ZIP64
    // entries, methods other than stored and deflated, a local name other
    // than the central one, and headers or data outside the file or running
    // into the next entry are refused with cause 11.
    void OpenEntry();
    // Up to `size` uncompressed bytes; 0 at the end of the entry. Deflated
    // data that goes on past the recorded size is refused with cause 11.
    size_t ReadEntry(char* buffer, size_t size);
    // Ends reading; throws cause 12 when the whole entry was read and its
    // CRC-32 differs from the recorded one.
    void CloseEntry();
    void CloseArchive();

    // Stamps a written output file: modification time from the entry, access
    // time now, permission bits from the entry's attributes. Throws
    // CFileException when the file cannot be stamped.
    static void SetOutputFileTimes(CAtomicFile& output, const ZipEntryInfo& info);
    // The permission bits of an output file whose bits are `current` now: a
    // Unix entry's mode through the process's umask (a link or other special
    // entry as a plain 0666 file; never a set-id bit), a read-only DOS entry
    // without write bits, any other entry as it is.
    static mode_t OutputMode(mode_t current, const ZipEntryInfo& info);
    static std::time_t DosToTime(uint32_t dosDateTime);

private:
    static std::time_t ConvertDosTime(uint32_t dosDateTime);
    void ReadCentralHeader();
    void CheckLayout();
    void CheckLocalName(uint64_t namePosition) const;
    void CheckNothingBeyond();
    void ReadAt(uint64_t position, void* buffer, size_t size) const;
    [[noreturn]] void Fail(int code, const std::string& detail = {}) const;
    void EndEntry();
    void RefuseUnsupported() const;
    size_t ReadStored(char* buffer, size_t size);
    size_t ReadDeflated(char* buffer, size_t size);
    void FillInput();
    // zlib's allocation hooks; no exception may cross zlib's C frames.
    static void* Allocate(void* self, unsigned items, unsigned size) noexcept;
    static void Release(void* self, void* block) noexcept;

    std::string path_;
    int fd_ = -1;
    uint64_t fileSize_ = 0;
    uint16_t entryCount_ = 0;
    uint32_t centralSize_ = 0;
    uint32_t centralOffset_ = 0;
    uint64_t endRecordPosition_ = 0;
    uint64_t bytesBefore_ = 0;

    bool selected_ = false;
    uint16_t index_ = 0;
    uint64_t centralHeaderPosition_ = 0;
    ZipEntryInfo info_;
    uint32_t localHeaderOffset_ = 0;
    std::string name_, extra_, comment_;
    // Per entry, where the next entry's local header or the central
    // directory begins: its header and data must end before that.
    std::vector<uint64_t> limits_;

    bool open_ = false;
    std::vector<unsigned char> input_;
    size_t inputStart_ = 0;
    size_t inputAvailable_ = 0;
    z_stream_s* stream_ = nullptr;
    bool streamEnded_ = false;
    uint32_t crc_ = 0;
    uint64_t compressedLeft_ = 0;
    uint64_t uncompressedLeft_ = 0;
    uint64_t dataPosition_ = 0;
    std::unordered_set<void*> blocks_;
};
