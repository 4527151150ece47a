#include "CZipWriter.h"

#include "CCrc32.h"
#include "CZipException.h"

#include <zlib.h>

#include <ctime>
#include <limits>

namespace {

constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint16_t kVersionNeeded = 20;
constexpr uint16_t kMadeByUnix = (3 << 8) | 20;
constexpr uint16_t kUtf8Flag = 0x0800;
constexpr uint16_t kStored = 0;
constexpr uint16_t kDeflated = 8;
constexpr uint32_t kRegularFileMode = 0100644;
constexpr uint64_t kMaxSize = std::numeric_limits<uint32_t>::max();
constexpr size_t kMaxEntries = std::numeric_limits<uint16_t>::max();

// Little-endian fields appended to a record.
class CRecord
{
public:
    CRecord& U16(uint32_t value)
    {
        bytes_ += char(value & 0xff);
        bytes_ += char((value >> 8) & 0xff);
        return *this;
    }
    CRecord& U32(uint32_t value) { return U16(value & 0xffff).U16(value >> 16); }
    CRecord& Text(const std::string& text)
    {
        bytes_ += text;
        return *this;
    }
    const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
};

uint32_t DosNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const uint32_t date =
        uint32_t((std::max(local.tm_year, 80) - 80) << 9 | (local.tm_mon + 1) << 5 | local.tm_mday);
    const uint32_t time = uint32_t(local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
    return date << 16 | time;
}

[[noreturn]] void Refuse(const std::string& name, const char* why)
{
    throw CZipException(CZipException::BadCall, name, why);
}

} // namespace

CZipWriter::CZipWriter(Sink sink) : sink_(std::move(sink)), dosTime_(DosNow()) {}

void CZipWriter::AddStored(const std::string& name, const char* data, size_t size)
{
    Entry entry{name, kStored, CCrc32::Update(0, data, size), uint32_t(size), uint32_t(size), 0};
    if (size > kMaxSize) {
        Refuse(name, "entry too large for a ZIP package");
    }
    Add(std::move(entry), data, size);
}

void CZipWriter::AddDeflated(const std::string& name, const char* data, size_t size, int level)
{
    if (size > kMaxSize) {
        Refuse(name, "entry too large for a ZIP package");
    }
    z_stream stream{};
    if (deflateInit2(&stream, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        throw CZipException(CZipException::OutOfMemory, name);
    }
    std::string packed(deflateBound(&stream, uLong(size)), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    stream.avail_in = uInt(size);
    stream.next_out = reinterpret_cast<Bytef*>(packed.data());
    stream.avail_out = uInt(packed.size());
    const int result = deflate(&stream, Z_FINISH);
    packed.resize(stream.total_out);
    deflateEnd(&stream);
    if (result != Z_STREAM_END) {
        throw CZipException(CZipException::StreamError, name);
    }
    Entry entry{name,           kDeflated, CCrc32::Update(0, data, size), uint32_t(packed.size()),
                uint32_t(size), 0};
    Add(std::move(entry), packed.data(), packed.size());
}

void CZipWriter::Add(Entry entry, const char* packed, size_t packedSize)
{
    const uint64_t after = written_ + 30 + entry.name.size() + packedSize;
    if (finished_ || entries_.size() == kMaxEntries || after > kMaxSize ||
        entry.name.size() > std::numeric_limits<uint16_t>::max()) {
        Refuse(entry.name, "the package cannot take another entry");
    }
    entry.offset = uint32_t(written_);
    CRecord header;
    header.U32(kLocalSignature)
        .U16(kVersionNeeded)
        .U16(kUtf8Flag)
        .U16(entry.method)
        .U32(dosTime_)
        .U32(entry.crc)
        .U32(entry.packedSize)
        .U32(entry.size)
        .U16(uint32_t(entry.name.size()))
        .U16(0)
        .Text(entry.name);
    Put(header.Bytes());
    sink_(packed, packedSize);
    written_ += packedSize;
    entries_.push_back(std::move(entry));
}

void CZipWriter::Finish()
{
    const uint64_t start = written_;
    for (const Entry& entry : entries_) {
        CRecord central;
        central.U32(kCentralSignature)
            .U16(kMadeByUnix)
            .U16(kVersionNeeded)
            .U16(kUtf8Flag)
            .U16(entry.method)
            .U32(dosTime_)
            .U32(entry.crc)
            .U32(entry.packedSize)
            .U32(entry.size)
            .U16(uint32_t(entry.name.size()))
            .U16(0)
            .U16(0)
            .U16(0)
            .U16(0)
            .U32(kRegularFileMode << 16)
            .U32(entry.offset)
            .Text(entry.name);
        Put(central.Bytes());
    }
    if (written_ > kMaxSize) {
        Refuse("", "central directory beyond 4 GiB");
    }
    CRecord end;
    end.U32(kEndSignature)
        .U16(0)
        .U16(0)
        .U16(uint32_t(entries_.size()))
        .U16(uint32_t(entries_.size()))
        .U32(uint32_t(written_ - start))
        .U32(uint32_t(start))
        .U16(0);
    Put(end.Bytes());
    finished_ = true;
}

void CZipWriter::Put(const std::string& bytes)
{
    sink_(bytes.data(), bytes.size());
    written_ += bytes.size();
}
