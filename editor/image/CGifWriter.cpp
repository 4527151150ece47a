#include "CGifWriter.h"

#include <gif_lib.h>

#include <array>
#include <memory>
#include <unordered_map>
#include <vector>

namespace {

constexpr int kPaletteSize = 256;
constexpr int kGifMaxSide = 65535;

// The frame to write: one palette index per pixel.
struct IndexedFrame
{
    std::array<GifColorType, kPaletteSize> palette{};
    std::vector<GifByteType> indexes;
    int transparentIndex = -1;
};

bool IsTransparent(QRgb pixel)
{
    return qAlpha(pixel) == 0;
}

bool HasTransparency(const QImage& argb)
{
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (IsTransparent(line[x])) {
                return true;
            }
        }
    }
    return false;
}

// Gives every distinct opaque colour its own index; false when there are
// more than `limit` of them.
bool IndexExactly(const QImage& argb, int limit, IndexedFrame& frame)
{
    std::unordered_map<QRgb, GifByteType> lookup;
    frame.indexes.resize(size_t(argb.width()) * argb.height());
    GifByteType* out = frame.indexes.data();
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (IsTransparent(line[x])) {
                *out++ = GifByteType(frame.transparentIndex);
                continue;
            }
            const QRgb colour = line[x] | 0xff000000u;
            auto [it, added] = lookup.try_emplace(colour, GifByteType(lookup.size()));
            if (added) {
                if (int(lookup.size()) > limit) {
                    return false;
                }
                frame.palette[it->second] = {GifByteType(qRed(colour)), GifByteType(qGreen(colour)),
                                             GifByteType(qBlue(colour))};
            }
            *out++ = it->second;
        }
    }
    return true;
}

bool IndexQuantised(const QImage& argb, int limit, IndexedFrame& frame)
{
    const size_t count = size_t(argb.width()) * argb.height();
    std::vector<GifByteType> red(count), green(count), blue(count);
    size_t i = 0;
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x, ++i) {
            red[i] = GifByteType(qRed(line[x]));
            green[i] = GifByteType(qGreen(line[x]));
            blue[i] = GifByteType(qBlue(line[x]));
        }
    }
    frame.indexes.resize(count);
    int colours = limit;
    if (GifQuantizeBuffer(unsigned(argb.width()), unsigned(argb.height()), &colours, red.data(),
                          green.data(), blue.data(), frame.indexes.data(),
                          frame.palette.data()) != GIF_OK) {
        return false;
    }
    if (frame.transparentIndex >= 0) {
        i = 0;
        for (int y = 0; y < argb.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            for (int x = 0; x < argb.width(); ++x, ++i) {
                if (IsTransparent(line[x])) {
                    frame.indexes[i] = GifByteType(frame.transparentIndex);
                }
            }
        }
    }
    return true;
}

int WriteToDevice(GifFileType* gif, const GifByteType* data, int length)
{
    auto* device = static_cast<QIODevice*>(gif->UserData);
    return int(device->write(reinterpret_cast<const char*>(data), length));
}

struct GifCloser
{
    void operator()(GifFileType* gif) const
    {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};

bool PutTransparencyExtension(GifFileType* gif, int transparentIndex)
{
    // Graphics control block: flag "transparent colour given", no delay.
    const GifByteType block[4] = {0x01, 0, 0, GifByteType(transparentIndex)};
    return EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, block) == GIF_OK;
}

bool Encode(const IndexedFrame& frame, int width, int height, QIODevice& device)
{
    int error = 0;
    GifFileType* raw = EGifOpen(&device, WriteToDevice, &error);
    if (raw == nullptr) {
        return false;
    }
    std::unique_ptr<GifFileType, GifCloser> gif(raw);
    ColorMapObject* map = GifMakeMapObject(kPaletteSize, frame.palette.data());
    if (map == nullptr) {
        return false;
    }
    EGifSetGifVersion(gif.get(), true);
    const bool header = EGifPutScreenDesc(gif.get(), width, height, 8, 0, map) == GIF_OK;
    GifFreeMapObject(map);
    if (!header || (frame.transparentIndex >= 0 &&
                    !PutTransparencyExtension(gif.get(), frame.transparentIndex))) {
        return false;
    }
    if (EGifPutImageDesc(gif.get(), 0, 0, width, height, false, nullptr) != GIF_OK) {
        return false;
    }
    for (int y = 0; y < height; ++y) {
        auto* line = const_cast<GifByteType*>(frame.indexes.data() + size_t(y) * width);
        if (EGifPutLine(gif.get(), line, width) != GIF_OK) {
            return false;
        }
    }
    const int closed = EGifCloseFile(gif.release(), &error);
    return closed == GIF_OK;
}

} // namespace

bool CGifWriter::Write(const QImage& image, QIODevice& device)
{
    if (image.isNull() || image.width() > kGifMaxSide || image.height() > kGifMaxSide) {
        return false;
    }
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    IndexedFrame frame;
    int limit = kPaletteSize;
    if (argb.hasAlphaChannel() && HasTransparency(argb)) {
        frame.transparentIndex = kPaletteSize - 1;
        limit = kPaletteSize - 1;
    }
    if (!IndexExactly(argb, limit, frame) && !IndexQuantised(argb, limit, frame)) {
        return false;
    }
    return Encode(frame, argb.width(), argb.height(), device);
}
