#pragma once

#include <QImage>
#include <QRect>
#include <QString>

// A thumbnail of the item library: the picture scaled into a 60×60 white
// square, keeping its shape.
struct Thumbnail
{
    QImage square; // 60×60, opaque; all white when the file could not be decoded
    QRect placed;  // where the picture lies on the square; empty when not decoded
};

// Makes thumbnails from files. Safe to call from any thread. Only regular
// files are opened (a link is followed only to a regular file; a device, a
// pipe or a folder gives a white square without being opened), at most
// kMaxFileBytes of a file are read, and a picture is decoded at a reduced
// size where its format allows it (JPEG by DCT scaling, SVG rendered at the
// target size); others are decoded whole only up to kMaxFullDecodePixels.
class CThumbnailMaker
{
public:
    static constexpr int kSize = 60;
    static constexpr qint64 kMaxFileBytes = qint64(64) << 20;
    static constexpr qint64 kMaxFullDecodePixels = qint64(6000) * 6000;

    // The picture's place on the square: a picture taller than wide is
    // 60 high and centred across, any other 60 wide and centred down; the
    // other side is 60 divided (or multiplied) by the float ratio h / w,
    // truncated, and at least 1.
    static QRect Geometry(QSize picture);

    static Thumbnail Make(const QString& path);
    // A white square with nothing on it.
    static Thumbnail Blank();
};
