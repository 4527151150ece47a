#pragma once

#include "EncoderChoice.h"
#include "Status.h"

#include <QImage>
#include <QString>

#include <span>

// One installed image encoder: the file-name patterns and MIME type it
// answers to, and the Qt image format that writes it.
struct ImageEncoderInfo
{
    QUuid encoderId;
    const char* extensions; // "*.BMP;*.DIB;*.RLE"
    const char* mimeType;   // "image/bmp"
    const char* qtFormat;   // format name for QImageWriter
};

// The image encoders and the save through them.
class CImageEncoders
{
public:
    // The encoders in their fixed order: BMP, JPEG, GIF, TIFF, PNG, WebP.
    static std::span<const ImageEncoderInfo> Encoders();

    // Picks the encoder for a key: a file path, a file name or a MIME type.
    static EncoderChoice ChooseEncoder(const QString& key);

    // Writes the picture to the path with the chosen encoder. The new file is
    // written beside the old one and replaces it only once it is complete, so
    // a failed save leaves any existing file as it was. No encoder: status 1
    // and nothing on disk is touched.
    static Status Save(const QImage& image, const QString& path, const EncoderChoice& choice);

private:
    static const ImageEncoderInfo* Find(const QUuid& id);
};
