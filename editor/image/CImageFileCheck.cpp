#include "CImageFileCheck.h"

#include <QFile>

#include <cstdint>
#include <cstring>
#include <span>

namespace {

using Bytes = std::span<const uint8_t>;

uint32_t ReadLe16(Bytes data, size_t at)
{
    return uint32_t(data[at]) | uint32_t(data[at + 1]) << 8;
}

uint32_t ReadLe32(Bytes data, size_t at)
{
    return ReadLe16(data, at) | ReadLe16(data, at + 2) << 16;
}

// A marker that may stand between or after the scans of a JPEG stream.
bool IsJpegSegmentMarker(uint8_t marker)
{
    return (marker >= 0xc0 && marker <= 0xcf) || (marker >= 0xda && marker <= 0xfe);
}

// Skips the entropy-coded data of a scan; returns the offset of the marker
// that ends it, or 0 when the data runs to the end of the file.
size_t SkipScanData(Bytes data, size_t at)
{
    while (at + 1 < data.size()) {
        const void* found = std::memchr(data.data() + at, 0xff, data.size() - at - 1);
        if (found == nullptr) {
            return 0;
        }
        at = size_t(static_cast<const uint8_t*>(found) - data.data());
        const uint8_t next = data[at + 1];
        if (next == 0x00 || next == 0xff || (next >= 0xd0 && next <= 0xd7)) {
            at += next == 0xff ? 1 : 2; // stuffed byte, fill byte or restart marker
            continue;
        }
        return at;
    }
    return 0;
}

// Walks the JPEG markers from the start-of-image to the end-of-image.
bool JpegComplete(Bytes data)
{
    if (data.size() < 4 || data[0] != 0xff || data[1] != 0xd8) {
        return false;
    }
    size_t at = 2;
    while (at + 1 < data.size()) {
        if (data[at] != 0xff) {
            return false;
        }
        const uint8_t marker = data[at + 1];
        if (marker == 0xff) {
            ++at;
            continue;
        }
        if (marker == 0xd9) {
            return true;
        }
        if (!IsJpegSegmentMarker(marker) || at + 4 > data.size()) {
            return false;
        }
        const size_t length = (size_t(data[at + 2]) << 8) | data[at + 3];
        at += 2 + length;
        if (length < 2 || at > data.size()) {
            return false;
        }
        if (marker == 0xda && (at = SkipScanData(data, at)) == 0) {
            return false;
        }
    }
    return false;
}

// An uncompressed bitmap must hold every row the header announces.
bool BmpComplete(Bytes data)
{
    constexpr size_t kFileHeader = 14;
    if (data.size() < kFileHeader + 12) {
        return false;
    }
    const uint32_t pixelsAt = ReadLe32(data, 10);
    const uint32_t infoSize = ReadLe32(data, 14);
    int64_t width = 0;
    int64_t height = 0;
    uint32_t bits = 0;
    uint32_t compression = 0;
    if (infoSize == 12) {
        width = ReadLe16(data, 18);
        height = ReadLe16(data, 20);
        bits = ReadLe16(data, 24);
    } else if (infoSize >= 40 && data.size() >= kFileHeader + 40) {
        width = int32_t(ReadLe32(data, 18));
        height = int32_t(ReadLe32(data, 22));
        bits = ReadLe16(data, 28);
        compression = ReadLe32(data, 30);
    } else {
        return false;
    }
    const bool packed = compression == 0 || compression == 3 || compression == 6;
    if (!packed) {
        return pixelsAt < data.size(); // run-length data: the decoder checks it
    }
    const int64_t stride = (width * bits + 31) / 32 * 4;
    const int64_t rows = height < 0 ? -height : height;
    // Compared by division: stride × rows overflows for a hostile header.
    const int64_t available = int64_t(data.size()) - int64_t(pixelsAt);
    return available >= 0 && (stride <= 0 || rows <= available / stride);
}

// Skips GIF data sub-blocks; returns the offset after the terminator or 0.
size_t SkipGifSubBlocks(Bytes data, size_t at)
{
    while (at < data.size()) {
        const size_t length = data[at];
        at += 1 + length;
        if (length == 0) {
            return at <= data.size() ? at : 0;
        }
    }
    return 0;
}

size_t GifColourTableSize(uint8_t flags)
{
    return (flags & 0x80) ? 3u << ((flags & 7) + 1) : 0;
}

// The first frame of a GIF must be there in full.
bool GifComplete(Bytes data)
{
    if (data.size() < 13) {
        return false;
    }
    size_t at = 13 + GifColourTableSize(data[10]);
    while (at < data.size()) {
        const uint8_t block = data[at];
        if (block == 0x21 && at + 2 <= data.size()) {
            at = SkipGifSubBlocks(data, at + 2);
        } else if (block == 0x2c && at + 10 <= data.size()) {
            at += 10 + GifColourTableSize(data[at + 9]) + 1; // descriptor, table, code size
            return SkipGifSubBlocks(data, at) != 0;
        } else {
            return false;
        }
        if (at == 0) {
            return false;
        }
    }
    return false;
}

uint32_t ReadBe32(Bytes data, size_t at)
{
    return uint32_t(data[at]) << 24 | uint32_t(data[at + 1]) << 16 | uint32_t(data[at + 2]) << 8 |
           uint32_t(data[at + 3]);
}

// A WebP file is one RIFF chunk, which must be there as long as it says.
bool WebpComplete(Bytes data)
{
    if (data.size() < 12 || std::memcmp(data.data(), "RIFF", 4) != 0 ||
        std::memcmp(data.data() + 8, "WEBP", 4) != 0) {
        return false;
    }
    return uint64_t(ReadLe32(data, 4)) + 8 <= data.size();
}

// A HEIF file is a sequence of boxes (file type, metadata, picture data);
// every box must be there as long as its header says.
bool HeifComplete(Bytes data)
{
    size_t at = 0;
    while (at < data.size()) {
        if (data.size() - at < 8) {
            return false;
        }
        uint64_t length = ReadBe32(data, at);
        uint64_t header = 8;
        if (length == 1) { // a 64-bit length follows the type
            header = 16;
            if (data.size() - at < 16) {
                return false;
            }
            length = uint64_t(ReadBe32(data, at + 8)) << 32 | ReadBe32(data, at + 12);
        } else if (length == 0) { // the box runs to the end of the file
            return true;
        }
        if (length < header || length > data.size() - at) {
            return false;
        }
        at += size_t(length);
    }
    return at > 0;
}

} // namespace

bool CImageFileCheck::IsComplete(const QString& path, const QByteArray& format)
{
    bool (*check)(Bytes) = nullptr;
    if (format == "jpeg" || format == "jpg") {
        check = JpegComplete;
    } else if (format == "bmp") {
        check = BmpComplete;
    } else if (format == "gif") {
        check = GifComplete;
    } else if (format == "webp") {
        check = WebpComplete;
    } else if (format == "heif") {
        check = HeifComplete;
    } else {
        return true; // the other decoders refuse cut-off files themselves
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0) {
        return false;
    }
    const uchar* mapped = file.map(0, file.size());
    if (mapped == nullptr) {
        return false;
    }
    return check(Bytes(mapped, size_t(file.size())));
}
