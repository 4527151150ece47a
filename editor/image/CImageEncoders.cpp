#include "CImageEncoders.h"

#include "CGifWriter.h"

#include <QImageWriter>
#include <QSaveFile>

#include <algorithm>
#include <array>

namespace {

// Class identifiers of the encoders, as the platform they were designed for
// numbers them, so that a stored EncoderChoice keeps its meaning.
const std::array<ImageEncoderInfo, 6> kEncoders = {{
    {QUuid("{557cf400-1a04-11d3-9a73-0000f81ef32e}"), "*.BMP;*.DIB;*.RLE", "image/bmp", "bmp"},
    {QUuid("{557cf401-1a04-11d3-9a73-0000f81ef32e}"), "*.JPG;*.JPEG;*.JPE;*.JFIF", "image/jpeg",
     "jpeg"},
    {QUuid("{557cf402-1a04-11d3-9a73-0000f81ef32e}"), "*.GIF", "image/gif", "gif"},
    {QUuid("{557cf405-1a04-11d3-9a73-0000f81ef32e}"), "*.TIF;*.TIFF", "image/tiff", "tiff"},
    {QUuid("{557cf406-1a04-11d3-9a73-0000f81ef32e}"), "*.PNG", "image/png", "png"},
    // WebP came later and has an identifier of its own.
    {QUuid("{a877d721-63c8-4162-b36f-5a2192081b3e}"), "*.WEBP", "image/webp", "webp"},
}};

// Qt's TIFF writer: compression 1 is LZW, 0 none.
int QtTiffCompression(int tiffCompression)
{
    return tiffCompression == kTiffCompressionLzw ? 1 : 0;
}

// Qt's PNG writer turns a quality into a zlib level, (100 − quality) × 9 ÷ 91:
// 80 gives level 1. A 24-megapixel photo is then written several times as
// fast as at the default level 6 and at almost the same size: the row
// filters, not the level, do most of the work on photos.
constexpr int kPngQuality = 80;

// Qt's WebP writer is lossless at quality 100. Pictures with transparency
// (stickers, cut-outs) keep every pixel; photos are written lossy.
constexpr int kWebpLosslessQuality = 100;
constexpr int kWebpPhotoQuality = 90;

bool IsOpaque(const QImage& image)
{
    if (!image.hasAlphaChannel()) {
        return true;
    }
    const QImage argb = image.format() == QImage::Format_ARGB32 ||
                                image.format() == QImage::Format_ARGB32_Premultiplied
                            ? image
                            : image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        if (std::any_of(line, line + argb.width(),
                        [](QRgb pixel) { return qAlpha(pixel) != 255; })) {
            return false;
        }
    }
    return true;
}

bool WriteWithQt(const QImage& image, QIODevice& device, const ImageEncoderInfo& encoder,
                 const EncoderChoice& choice)
{
    QImageWriter writer(&device, encoder.qtFormat);
    if (choice.mimeType == "image/jpeg") {
        writer.setQuality(choice.jpegQuality);
    } else if (choice.mimeType == "image/tiff") {
        writer.setCompression(QtTiffCompression(choice.tiffCompression));
    } else if (choice.mimeType == "image/png") {
        writer.setQuality(kPngQuality);
        // An opaque picture goes without its alpha channel: a quarter less
        // to filter and compress.
        if (image.hasAlphaChannel() && IsOpaque(image)) {
            return writer.write(image.convertToFormat(QImage::Format_RGB32));
        }
    } else if (choice.mimeType == "image/webp") {
        writer.setQuality(IsOpaque(image) ? kWebpPhotoQuality : kWebpLosslessQuality);
    }
    return writer.write(image);
}

} // namespace

std::span<const ImageEncoderInfo> CImageEncoders::Encoders()
{
    return kEncoders;
}

EncoderChoice CImageEncoders::ChooseEncoder(const QString& key)
{
    QString lowered = key.toLower();
    const qsizetype dot = lowered.lastIndexOf('.');
    if (dot >= 0) {
        lowered = "*" + lowered.mid(dot);
    }
    EncoderChoice choice;
    for (const ImageEncoderInfo& encoder : kEncoders) {
        const QString extensions = QString::fromLatin1(encoder.extensions).toLower();
        const QString mime = QString::fromLatin1(encoder.mimeType).toLower();
        // A substring test: "*.jp" would match "*.jpg;..." as well.
        if (mime == lowered || extensions.contains(lowered)) {
            choice.encoderId = encoder.encoderId;
            choice.mimeType = mime;
            choice.found = true;
            break;
        }
    }
    return choice;
}

const ImageEncoderInfo* CImageEncoders::Find(const QUuid& id)
{
    for (const ImageEncoderInfo& encoder : kEncoders) {
        if (encoder.encoderId == id) {
            return &encoder;
        }
    }
    return nullptr;
}

Status CImageEncoders::Save(const QImage& image, const QString& path, const EncoderChoice& choice)
{
    const ImageEncoderInfo* encoder = choice.found ? Find(choice.encoderId) : nullptr;
    if (encoder == nullptr) {
        return Status::GenericError;
    }
    if (image.isNull()) {
        return Status::InvalidParameter;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return Status::Win32Error;
    }
    const bool written = QByteArray(encoder->qtFormat) == "gif"
                             ? CGifWriter::Write(image, file)
                             : WriteWithQt(image, file, *encoder, choice);
    if (!written) {
        file.cancelWriting();
        return file.error() == QFileDevice::NoError ? Status::GenericError : Status::Win32Error;
    }
    return file.commit() ? Status::Ok : Status::Win32Error;
}
