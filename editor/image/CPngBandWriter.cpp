#include "CPngBandWriter.h"

#include "CCrc32.h"
#include "CParallelRows.h"

#include <zlib.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr unsigned char kUpFilter = 2;
constexpr int kDeflateLevel = 1;
constexpr size_t kMaxChunk = 8 * 1024 * 1024;
constexpr int kTruecolour = 2;
constexpr int kTruecolourAlpha = 6;

void PutU32(std::string& out, uint32_t value)
{
    out += char(value >> 24);
    out += char((value >> 16) & 0xff);
    out += char((value >> 8) & 0xff);
    out += char(value & 0xff);
}

void PutChunk(QByteArray& png, const char* type, const char* data, size_t size)
{
    std::string chunk;
    PutU32(chunk, uint32_t(size));
    chunk.append(type, 4);
    chunk.append(data, size);
    PutU32(chunk, CCrc32::Update(0, chunk.data() + 4, size + 4));
    png.append(chunk.data(), qsizetype(chunk.size()));
}

// One row as PNG bytes: R, G, B (and unpremultiplied A).
void RowBytes(const QImage& picture, int y, bool alpha, unsigned char* out)
{
    const auto* pixels = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
    const int width = picture.width();
    for (int x = 0; x < width; ++x) {
        const QRgb pixel = alpha ? qUnpremultiply(pixels[x]) : pixels[x];
        *out++ = uchar(qRed(pixel));
        *out++ = uchar(qGreen(pixel));
        *out++ = uchar(qBlue(pixel));
        if (alpha) {
            *out++ = uchar(qAlpha(pixel));
        }
    }
}

// A band of rows filtered and deflated, ending on a byte boundary (the last
// band ends the stream).
struct Band
{
    std::string packed;
    uLong adler = 1;
    size_t rawSize = 0;
};

Band PackBand(const QImage& picture, int first, int end, bool alpha, bool last)
{
    const size_t rowBytes = size_t(picture.width()) * (alpha ? 4 : 3);
    std::vector<unsigned char> raw(size_t(end - first) * (rowBytes + 1));
    std::vector<unsigned char> previous(rowBytes, 0), current(rowBytes);
    if (first > 0) {
        RowBytes(picture, first - 1, alpha, previous.data());
    }
    unsigned char* out = raw.data();
    for (int y = first; y < end; ++y) {
        RowBytes(picture, y, alpha, current.data());
        *out++ = kUpFilter;
        for (size_t i = 0; i < rowBytes; ++i) {
            out[i] = uchar(current[i] - previous[i]);
        }
        out += rowBytes;
        previous.swap(current);
    }
    Band band;
    band.rawSize = raw.size();
    band.adler = adler32_z(1, raw.data(), raw.size());
    z_stream stream{};
    if (deflateInit2(&stream, kDeflateLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
        throw std::bad_alloc();
    }
    band.packed.resize(deflateBound(&stream, uLong(raw.size())) + 16);
    stream.next_in = raw.data();
    stream.avail_in = uInt(raw.size());
    stream.next_out = reinterpret_cast<Bytef*>(band.packed.data());
    stream.avail_out = uInt(band.packed.size());
    const int result = deflate(&stream, last ? Z_FINISH : Z_SYNC_FLUSH);
    band.packed.resize(stream.total_out);
    deflateEnd(&stream);
    if (result != (last ? Z_STREAM_END : Z_OK) || stream.avail_in != 0) {
        band.packed.clear();
    }
    return band;
}

} // namespace

QByteArray CPngBandWriter::Encode(const QImage& source)
{
    const bool alpha = source.hasAlphaChannel();
    const QImage picture =
        source.convertToFormat(alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (picture.isNull()) {
        return {};
    }
    const std::vector<int> starts = CParallelRows::Bands(picture.height(), picture.width());
    std::vector<Band> bands(starts.size() - 1);
    CParallelRows::RunBands(starts, [&](int first, int end) {
        const size_t index =
            size_t(std::find(starts.begin(), starts.end(), first) - starts.begin());
        bands[index] = PackBand(picture, first, end, alpha, index + 1 == bands.size());
    });

    // zlib header (deflate, 32 KiB window, fastest), the bands, Adler-32.
    std::string stream("\x78\x01", 2);
    uLong adler = 1;
    for (const Band& band : bands) {
        if (band.packed.empty()) {
            return {};
        }
        stream += band.packed;
        adler = adler32_combine(adler, band.adler, z_off_t(band.rawSize));
    }
    PutU32(stream, uint32_t(adler));

    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    PutU32(header, uint32_t(picture.width()));
    PutU32(header, uint32_t(picture.height()));
    header += char(8);
    header += char(alpha ? kTruecolourAlpha : kTruecolour);
    header.append(3, '\0'); // deflate, adaptive filtering, not interlaced
    PutChunk(png, "IHDR", header.data(), header.size());
    if (picture.dotsPerMeterX() > 0 && picture.dotsPerMeterY() > 0) {
        std::string physical;
        PutU32(physical, uint32_t(picture.dotsPerMeterX()));
        PutU32(physical, uint32_t(picture.dotsPerMeterY()));
        physical += char(1); // per metre
        PutChunk(png, "pHYs", physical.data(), physical.size());
    }
    for (size_t at = 0; at < stream.size(); at += kMaxChunk) {
        PutChunk(png, "IDAT", stream.data() + at, std::min(kMaxChunk, stream.size() - at));
    }
    PutChunk(png, "IEND", nullptr, 0);
    return png;
}
