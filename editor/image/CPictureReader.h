#pragma once

#include "CHeifReader.h"
#include "Status.h"

#include <QImage>
#include <QImageReader>
#include <QSize>
#include <QString>

#include <memory>

// Opens a picture file of any format the editor reads (Qt's image readers,
// and libheif for HEIC and AVIF) and checks it before any pixel is decoded:
// the file is a regular file in a known format, its size as announced is
// within CBitmap's decode limit and it is not cut off.
class CPictureReader
{
public:
    // True when the file's first bytes belong to a format the editor reads.
    static bool Recognises(const QString& path);

    Status Open(const QString& path);
    // The picture's size as it will be shown (turned as the file says).
    QSize Size() const;
    // Decodes the picture upright. A valid `scaled` asks for the picture at
    // about that size (shown orientation), reduced while decoding where the
    // format allows; the result may still differ from it.
    Status Read(QImage* image, QSize scaled = QSize());

private:
    Status StatusOfReader() const;
    Status OpenWithQt(const QString& path);

    QImageReader reader_;
    std::unique_ptr<CHeifReader> heif_;
};
