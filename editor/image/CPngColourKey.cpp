#include "CPngColourKey.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtEndian>

namespace {

constexpr qsizetype kSignature = 8;
constexpr int kColourTypeRgb = 2;

struct Chunk
{
    qsizetype at = 0; // offset of its length field
    qsizetype size = 0;
    QByteArray type;
};

std::optional<Chunk> ChunkAt(const QByteArray& data, qsizetype at)
{
    if (at + 12 > data.size()) {
        return std::nullopt;
    }
    const quint32 length = qFromBigEndian<quint32>(data.constData() + at);
    if (length > quint32(data.size() - at - 12)) {
        return std::nullopt;
    }
    return Chunk{at, qsizetype(length) + 12, data.mid(at + 4, 4)};
}

// The tRNS chunk of a 16-bit RGB PNG, found before the picture data.
std::optional<Chunk> ColourKeyChunk(const QByteArray& data)
{
    const std::optional<Chunk> header = ChunkAt(data, kSignature);
    if (!data.startsWith("\x89PNG\r\n\x1a\n") || !header || header->type != "IHDR" ||
        header->size < 12 + 13) {
        return std::nullopt;
    }
    const char* fields = data.constData() + kSignature + 8;
    if (uchar(fields[8]) != 16 || uchar(fields[9]) != kColourTypeRgb) {
        return std::nullopt;
    }
    for (std::optional<Chunk> chunk = header; chunk && chunk->type != "IDAT";
         chunk = ChunkAt(data, chunk->at + chunk->size)) {
        if (chunk->type == "tRNS") {
            return chunk->size == 12 + 6 ? chunk : std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<QImage> CPngColourKey::Decode(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QByteArray data = file.readAll();
    const std::optional<Chunk> chunk = ColourKeyChunk(data);
    if (!chunk) {
        return std::nullopt;
    }
    const char* key = data.constData() + chunk->at + 8;
    const quint16 red = qFromBigEndian<quint16>(key);
    const quint16 green = qFromBigEndian<quint16>(key + 2);
    const quint16 blue = qFromBigEndian<quint16>(key + 4);
    data.remove(chunk->at, chunk->size);

    QBuffer buffer(&data);
    QImageReader reader(&buffer, "png");
    QImage image = reader.read().convertToFormat(QImage::Format_RGBA64);
    if (image.isNull()) {
        return QImage();
    }
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgba64*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            QRgba64& pixel = line[x];
            if (pixel.red() == red && pixel.green() == green && pixel.blue() == blue) {
                pixel = QRgba64::fromRgba64(0, 0, 0, 0);
            }
        }
    }
    return image;
}
