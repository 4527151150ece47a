#include "CBitmap.h"

#include "CImageEncoders.h"
#include "CImageFileCheck.h"
#include "CPngColourKey.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPromise>
#include <QThreadPool>

#include <cstdlib>
#include <functional>
#include <memory>

namespace {

// Decoders may not allocate more than this for one picture.
constexpr int kDecodeAllocationLimitMb = int(CBitmap::kMaxDecodePixels * 4 / (1024 * 1024));

Status StatusOfReader(const QImageReader& reader)
{
    switch (reader.error()) {
    case QImageReader::FileNotFoundError:
        return Status::FileNotFound;
    case QImageReader::DeviceError:
        return Status::Win32Error;
    case QImageReader::UnsupportedFormatError:
        return Status::UnknownImageFormat;
    default:
        return Status::GenericError;
    }
}

// Opens a reader on a picture file and checks it before any pixel is decoded.
Status PrepareReader(const QString& path, QImageReader& reader)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        return Status::FileNotFound;
    }
    if (!info.isFile()) {
        return Status::AccessDenied;
    }
    reader.setFileName(path);
    reader.setAutoTransform(true);
    reader.setAllocationLimit(kDecodeAllocationLimitMb);
    if (!reader.canRead()) {
        return StatusOfReader(reader);
    }
    // A bitmap stored top-down announces a negative height.
    const QSize announced = reader.size();
    const QSize size(std::abs(announced.width()), std::abs(announced.height()));
    if (size.isEmpty()) {
        return Status::GenericError;
    }
    if (qint64(size.width()) * size.height() > CBitmap::kMaxDecodePixels) {
        return Status::OutOfMemory;
    }
    if (!CImageFileCheck::IsComplete(path, reader.format())) {
        return Status::GenericError;
    }
    return Status::Ok;
}

// Decodes the picture the reader was prepared for.
bool ReadPicture(QImageReader& reader, QImage* image)
{
    if (reader.format() == "png") {
        if (std::optional<QImage> keyed = CPngColourKey::Decode(reader.fileName())) {
            *image = std::move(*keyed);
            return !image->isNull();
        }
    }
    return reader.read(image);
}

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
    QImageReader reader;
    if (const Status status = PrepareReader(path, reader); Failed(status)) {
        return CBitmap(QImage(), status);
    }
    QImage image;
    if (!ReadPicture(reader, &image)) {
        return CBitmap(QImage(), StatusOfReader(reader));
    }
    return FromDecoded(std::move(image));
}

Status CBitmap::Probe(const QString& path, QSize* size)
{
    QImageReader reader;
    if (const Status status = PrepareReader(path, reader); Failed(status)) {
        return status;
    }
    const QSize announced = reader.size();
    const QSize stored(std::abs(announced.width()), std::abs(announced.height()));
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    *size = turned ? stored.transposed() : stored;
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
    QImageReader reader;
    if (const Status status = PrepareReader(path, reader); Failed(status)) {
        return CBitmap(QImage(), status);
    }
    // The reader's scaled size applies before the orientation is applied.
    const QSize target(width, height);
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    reader.setScaledSize(turned ? target.transposed() : target);
    QImage image;
    if (!ReadPicture(reader, &image)) {
        return CBitmap(QImage(), StatusOfReader(reader));
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
