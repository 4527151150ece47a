#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Writes a ZIP package front to back through a sink: each entry's local
// header and bytes (stored as they are, or deflated through zlib's raw
// deflate), then the central directory. Names are UTF-8 (flag 11 set),
// entries carry Unix mode 0644. Entries and the package stay below the 4 GiB
// and 65535-entry limits of the plain format; anything larger throws
// CZipException (cause 10) before a byte of it is written. A sink that
// cannot write throws its own exception, which passes through.
class CZipWriter
{
public:
    using Sink = std::function<void(const char* data, size_t size)>;

    explicit CZipWriter(Sink sink);

    void AddStored(const std::string& name, const char* data, size_t size);
    // Deflated at `level` (zlib's 0..9).
    void AddDeflated(const std::string& name, const char* data, size_t size, int level = 6);
    // Writes the central directory; nothing may be added after it.
    void Finish();

private:
    struct Entry
    {
        std::string name;
        uint16_t method = 0;
        uint32_t crc = 0;
        uint32_t packedSize = 0;
        uint32_t size = 0;
        uint32_t offset = 0;
    };

    void Add(Entry entry, const char* packed, size_t packedSize);
    void Put(const std::string& bytes);

    Sink sink_;
    std::vector<Entry> entries_;
    uint64_t written_ = 0;
    uint32_t dosTime_ = 0;
    bool finished_ = false;
};
