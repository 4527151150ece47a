#pragma once

#include "EncoderChoice.h"
#include "Status.h"

#include <QFuture>
#include <QImage>

#include <QString>
#include <functional>

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
    // Reads only what the file says of itself: the checks FromFile makes before
    // decoding, and the picture's size as it will be shown (turned as its
    // orientation tag says).
    static Status Probe(const QString& path, QSize* size);
    // FromFile on a pool thread; then, on a pool thread as well, the decoded
    // picture resampled (Resample). The window never waits for them; a
    // failure, running out of memory included, is the result's status.
    static QFuture<CBitmap> FromFileInBackground(const QString& path);
    static QFuture<CBitmap> ResampleInBackground(QFuture<CBitmap> decoded, QSize size,
                                                 QImage::Format format);
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
    // Picture work on a pool thread; running out of memory there becomes the
    // result's status instead of leaving the thread.
    static CBitmap NoThrow(const std::function<CBitmap()>& work);
    static QFuture<CBitmap> RunInPool(std::function<CBitmap()> work);
    static CBitmap FromDecoded(QImage image);
    Status Fail(Status status);

    QImage image_;
    Status status_ = Status::Ok;
};
