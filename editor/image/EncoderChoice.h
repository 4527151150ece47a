#pragma once

#include <QString>
#include <QUuid>

// The encoder picked for one save, with the parameters that go with it.
struct EncoderChoice
{
    QUuid encoderId;
    QString mimeType;        // lower-cased MIME type of the matched encoder
    int jpegQuality = 75;    // the document's save raises it to 95
    int tiffCompression = 2; // 2 = LZW
    bool found = false;
};

// TIFF compression value meaning LZW.
inline constexpr int kTiffCompressionLzw = 2;
// JPEG quality the editor saves with.
inline constexpr int kDocumentJpegQuality = 95;
