#include "CBitmap.h"

#include "CImageEncoders.h"
#include "CPictureReader.h"

#include <QPainter>
#include <QPromise>
#include <QThreadPool>

#include <functional>
#include <memory>

namespace {

// Decoders return many pixel formats (16-bit, indexed, grey, with or without
// alpha or a colour key); the pipeline works on two: 32-bit RGB for opaque
// pictures and premultiplied ARGB for the others.
QImage InPipelineFormat(QImage image)
{
    if (image.format() == QImage::Format_RGB32 ||
        image.format() == QImage::Format_ARGB32_Premultiplied) {
        return image;
    }
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                         : QImage::Format_RGB32);
}

QImage DrawnAtSize(const QImage& source, const QSize& size, QImage::Format format)
{
    QImage target(size, format);
    if (target.isNull()) {
        return target;
    }
    target.fill(Qt::transparent);
    QPainter painter(&target);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawImage(QRect(QPoint(0, 0), size), source);
    return target;
}

} // namespace

CBitmap::CBitmap(QImage image) : image_(std::move(image)) {}

CBitmap::CBitmap(QImage image, Status status) : image_(std::move(image)), status_(status) {}

CBitmap CBitmap::FromDecoded(QImage image)
{
    QImage converted = InPipelineFormat(std::move(image));
    if (converted.isNull()) {
        return CBitmap(QImage(), Status::OutOfMemory);
    }
    return CBitmap(std::move(converted));
}

Status CBitmap::Fail(Status status)
{
    if (Failed(status)) {
        status_ = status;
    }
    return status;
}

CBitmap CBitmap::FromFile(const QString& path)
{
    CPictureReader reader;
    if (const Status status = reader.Open(path); Failed(status)) {
        return CBitmap(QImage(), status);
    }
    QImage image;
    if (const Status status = reader.Read(&image); Failed(status)) {
        return CBitmap(QImage(), status);
    }
    return FromDecoded(std::move(image));
}

Status CBitmap::Probe(const QString& path, QSize* size)
{
    CPictureReader reader;
    if (const Status status = reader.Open(path); Failed(status)) {
        return status;
    }
    *size = reader.Size();
    return Status::Ok;
}

CBitmap CBitmap::NoThrow(const std::function<CBitmap()>& work)
{
    try {
        return work();
    } catch (const std::bad_alloc&) {
        return CBitmap(QImage(), Status::OutOfMemory);
    }
}

QFuture<CBitmap> CBitmap::RunInPool(std::function<CBitmap()> work)
{
    auto promise = std::make_shared<QPromise<CBitmap>>();
    QFuture<CBitmap> future = promise->future();
    promise->start();
    QThreadPool::globalInstance()->start([promise, work = std::move(work)] {
        promise->addResult(NoThrow(work));
        promise->finish();
    });
    return future;
}

QFuture<CBitmap> CBitmap::FromFileInBackground(const QString& path)
{
    return RunInPool([path] { return FromFile(path); });
}

QFuture<CBitmap> CBitmap::ResampleInBackground(QFuture<CBitmap> decoded, QSize size,
                                               QImage::Format format)
{
    return decoded.then(QtFuture::Launch::Async, [size, format](CBitmap bitmap) {
        return NoThrow([&bitmap, size, format] {
            if (!bitmap.IsNull()) {
                bitmap.Resample(size.width(), size.height(), format);
            }
            return std::move(bitmap);
        });
    });
}

CBitmap CBitmap::Thumbnail(const QString& path, int width, int height)
{
    if (width <= 0 || height <= 0) {
        return CBitmap(QImage(), Status::InvalidParameter);
    }
    CPictureReader reader;
    if (const Status status = reader.Open(path); Failed(status)) {
        return CBitmap(QImage(), status);
    }
    const QSize target(width, height);
    QImage image;
    if (const Status status = reader.Read(&image, target); Failed(status)) {
        return CBitmap(QImage(), status);
    }
    if (image.size() != target) {
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return FromDecoded(std::move(image));
}

CBitmap CBitmap::Copy() const
{
    if (image_.isNull()) {
        return CBitmap(QImage(), Status::InvalidParameter);
    }
    QImage copy = image_.copy();
    if (copy.isNull()) {
        return CBitmap(QImage(), Status::OutOfMemory);
    }
    return CBitmap(std::move(copy));
}

Status CBitmap::Resample(int width, int height, QImage::Format format)
{
    if (image_.isNull() || width <= 0 || height <= 0) {
        return Fail(Status::InvalidParameter);
    }
    // At its own size a picture of the pipeline's formats drawn onto a clear
    // premultiplied one is that picture converted; converting is many times
    // faster than drawing.
    const bool converts = QSize(width, height) == image_.size() &&
                          format == QImage::Format_ARGB32_Premultiplied &&
                          (image_.format() == QImage::Format_RGB32 ||
                           image_.format() == QImage::Format_ARGB32_Premultiplied);
    QImage resampled = converts ? image_.convertToFormat(format)
                                : DrawnAtSize(image_, QSize(width, height), format);
    if (resampled.isNull()) {
        return Fail(Status::OutOfMemory);
    }
    image_ = std::move(resampled);
    return Status::Ok;
}

Status CBitmap::RotateFlip(RotateFlipType type)
{
    if (image_.isNull()) {
        return Fail(Status::InvalidParameter);
    }
    const int code = int(type);
    if (code < 0 || code > 7) {
        return Fail(Status::InvalidParameter);
    }
    QImage turned = image_;
    if (const int quarter = code & 3; quarter != 0) {
        turned = turned.transformed(QTransform().rotate(90.0 * quarter));
    }
    if (code & 4) {
        turned = turned.mirrored(true, false);
    }
    if (turned.isNull()) {
        return Fail(Status::OutOfMemory);
    }
    image_ = std::move(turned);
    return Status::Ok;
}

Status CBitmap::Save(const QString& path, const EncoderChoice& choice)
{
    return Fail(CImageEncoders::Save(image_, path, choice));
}
