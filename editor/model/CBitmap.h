#pragma once

#include "EncoderChoice.h"
#include "Status.h"

#include <QImage>
#include <QString>

// How RotateFlip turns a bitmap: a quarter-turn count clockwise, optionally
// followed by a horizontal mirror (the numbering of the platform it came from).
enum class RotateFlipType : int
{
    RotateNoneFlipNone = 0,
    Rotate90FlipNone = 1,
    Rotate180FlipNone = 2,
    Rotate270FlipNone = 3,
    RotateNoneFlipX = 4,
    Rotate90FlipX = 5,
    Rotate180FlipX = 6,
    Rotate270FlipX = 7,
};

// A picture in memory together with the status of its last failing call.
// A bitmap whose load or copy failed holds no picture and a non-zero status.
class CBitmap
{
public:
    // Largest picture a file may announce before decoding is refused
    // (16384 × 16384 pixels, about 1 GiB as 32-bit pixels).
    static constexpr qint64 kMaxDecodePixels = qint64(16384) * 16384;

    CBitmap() = default;
    explicit CBitmap(QImage image);

    // Decodes a picture file, upright when it carries an orientation tag, into
    // 32-bit RGB (opaque pictures) or premultiplied ARGB (the others).
    static CBitmap FromFile(const QString& path);
    // A picture of exactly the given size made from a file, decoded at a
    // reduced size where the format allows it.
    static CBitmap Thumbnail(const QString& path, int width, int height);

    bool IsNull() const { return image_.isNull(); }
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    QImage::Format PixelFormat() const { return image_.format(); }
    const QImage& Image() const { return image_; }
    QImage& Image() { return image_; }
    Status LastStatus() const { return status_; }

    // A full copy in the same pixel format; no picture when it fails.
    CBitmap Copy() const;
    // Replaces the picture by one of the given size and format, drawn from it
    // with smoothing.
    Status Resample(int width, int height, QImage::Format format);
    // Turns and mirrors the picture in place.
    Status RotateFlip(RotateFlipType type);
    // Writes the picture through the chosen encoder.
    Status Save(const QString& path, const EncoderChoice& choice);

private:
    CBitmap(QImage image, Status status);
    static CBitmap FromDecoded(QImage image);
    Status Fail(Status status);

    QImage image_;
    Status status_ = Status::Ok;
};
