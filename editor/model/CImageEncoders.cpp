#include "CImageEncoders.h"

#include "CGifWriter.h"

#include <QImageWriter>
#include <QSaveFile>

#include <array>

namespace {

// Class identifiers of the encoders, as the platform they were designed for
// numbers them, so that a stored EncoderChoice keeps its meaning.
const std::array<ImageEncoderInfo, 5> kEncoders = {{
    {QUuid("{557cf400-1a04-11d3-9a73-0000f81ef32e}"), "*.BMP;*.DIB;*.RLE", "image/bmp", "bmp"},
    {QUuid("{557cf401-1a04-11d3-9a73-0000f81ef32e}"), "*.JPG;*.JPEG;*.JPE;*.JFIF", "image/jpeg",
     "jpeg"},
    {QUuid("{557cf402-1a04-11d3-9a73-0000f81ef32e}"), "*.GIF", "image/gif", "gif"},
    {QUuid("{557cf405-1a04-11d3-9a73-0000f81ef32e}"), "*.TIF;*.TIFF", "image/tiff", "tiff"},
    {QUuid("{557cf406-1a04-11d3-9a73-0000f81ef32e}"), "*.PNG", "image/png", "png"},
}};

// Qt's TIFF writer: compression 1 is LZW, 0 none.
int QtTiffCompression(int tiffCompression)
{
    return tiffCompression == kTiffCompressionLzw ? 1 : 0;
}

bool WriteWithQt(const QImage& image, QIODevice& device, const ImageEncoderInfo& encoder,
                 const EncoderChoice& choice)
{
    QImageWriter writer(&device, encoder.qtFormat);
    if (choice.mimeType == "image/jpeg") {
        writer.setQuality(choice.jpegQuality);
    } else if (choice.mimeType == "image/tiff") {
        writer.setCompression(QtTiffCompression(choice.tiffCompression));
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
