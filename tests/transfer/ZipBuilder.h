#pragma once

// Builds ZIP packages byte by byte for the tests, including the damaged and
// hostile ones no archiver would make.

#include <zlib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct ZipEntryLayout
{
    std::string name;
    std::string data;
    uint16_t method = 8; // 8 deflates; any other value stores the bytes under that method
    uint16_t flags = 0;
    bool descriptor = false; // bit 3: local CRC and sizes zero, a data descriptor follows
    uint16_t versionMadeBy = 20;
    uint32_t externalAttributes = 0;
    uint32_t dosDateTime = 0x52644567; // 2021-03-04 08:43:14
    std::string extra;
    std::optional<uint32_t> crc;            // recorded CRC instead of the real one
    std::optional<uint32_t> localSize;      // local compressed size instead of the real one
    std::optional<uint32_t> localOffset;    // central offset of the local header
    std::optional<std::string> compressed;  // the entry's data bytes as stored
    std::optional<uint32_t> compressedSize; // recorded (local and central) instead of the real one
    std::optional<std::string> localName;   // the local header's name instead of `name`
};

struct ZipLayout
{
    std::vector<ZipEntryLayout> entries;
    std::string prefix;  // bytes before the archive (a stub program)
    std::string comment; // the archive comment
    uint16_t disk = 0;   // number of this disk
};

namespace zipbuilder {

inline void Put16(std::string& out, uint32_t value)
{
    out += char(value & 0xff);
    out += char(value >> 8 & 0xff);
}

inline void Put32(std::string& out, uint32_t value)
{
    Put16(out, value & 0xffff);
    Put16(out, value >> 16);
}

inline std::string Deflate(const std::string& data)
{
    z_stream stream{};
    deflateInit2(&stream, 6, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, uLong(data.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

} // namespace zipbuilder

inline std::string BuildZip(const ZipLayout& layout)
{
    using namespace zipbuilder;
    std::string archive;
    std::string central;
    for (const ZipEntryLayout& entry : layout.entries) {
        const std::string stored = entry.compressed    ? *entry.compressed
                                   : entry.method == 8 ? Deflate(entry.data)
                                                       : entry.data;
        const uint32_t crc = entry.crc.value_or(uint32_t(
            crc32(0, reinterpret_cast<const Bytef*>(entry.data.data()), uInt(entry.data.size()))));
        const uint16_t flags = uint16_t(entry.flags | (entry.descriptor ? 8 : 0));
        const uint32_t offset = entry.localOffset.value_or(uint32_t(archive.size()));
        const uint32_t size = entry.compressedSize.value_or(uint32_t(stored.size()));

        std::string local;
        Put32(local, 0x04034b50);
        Put16(local, 20);
        Put16(local, flags);
        Put16(local, entry.method);
        Put32(local, entry.dosDateTime);
        Put32(local, entry.descriptor ? 0 : crc);
        Put32(local, entry.descriptor ? 0 : entry.localSize.value_or(size));
        Put32(local, entry.descriptor ? 0 : uint32_t(entry.data.size()));
        Put16(local, uint32_t(entry.name.size()));
        Put16(local, uint32_t(entry.extra.size()));
        archive += local + entry.localName.value_or(entry.name) + entry.extra + stored;
        if (entry.descriptor) {
            Put32(archive, 0x08074b50);
            Put32(archive, crc);
            Put32(archive, size);
            Put32(archive, uint32_t(entry.data.size()));
        }

        Put32(central, 0x02014b50);
        Put16(central, entry.versionMadeBy);
        Put16(central, 20);
        Put16(central, flags);
        Put16(central, entry.method);
        Put32(central, entry.dosDateTime);
        Put32(central, crc);
        Put32(central, size);
        Put32(central, uint32_t(entry.data.size()));
        Put16(central, uint32_t(entry.name.size()));
        Put16(central, uint32_t(entry.extra.size()));
        Put16(central, 0); // comment length
        Put16(central, 0); // disk number start
        Put16(central, 0); // internal attributes
        Put32(central, entry.externalAttributes);
        Put32(central, offset);
        central += entry.name + entry.extra;
    }
    const uint32_t centralOffset = uint32_t(archive.size());
    archive += central;
    Put32(archive, 0x06054b50);
    Put16(archive, layout.disk);
    Put16(archive, layout.disk);
    Put16(archive, uint32_t(layout.entries.size()));
    Put16(archive, uint32_t(layout.entries.size()));
    Put32(archive, uint32_t(central.size()));
    Put32(archive, centralOffset);
    Put16(archive, uint32_t(layout.comment.size()));
    return layout.prefix + archive + layout.comment;
}
