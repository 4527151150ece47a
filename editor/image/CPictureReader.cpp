#include "CPictureReader.h"

#include "CBitmap.h"
#include "CImageFileCheck.h"
#include "CPngColourKey.h"

#include <QFileInfo>

#include <cstdlib>

namespace {

// Decoders may not allocate more than this for one picture.
constexpr int kDecodeAllocationLimitMb = int(CBitmap::kMaxDecodePixels * 4 / (1024 * 1024));

// Checks the size a file announces before any pixel is decoded.
Status CheckSize(QSize size)
{
    if (size.isEmpty()) {
        return Status::GenericError;
    }
    if (qint64(size.width()) * size.height() > CBitmap::kMaxDecodePixels) {
        return Status::OutOfMemory;
    }
    return Status::Ok;
}

} // namespace

bool CPictureReader::Recognises(const QString& path)
{
    return CHeifReader::Recognises(path) || QImageReader(path).canRead();
}

Status CPictureReader::StatusOfReader() const
{
    switch (reader_.error()) {
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

Status CPictureReader::Open(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        return Status::FileNotFound;
    }
    if (!info.isFile()) {
        return Status::AccessDenied;
    }
    if (!CHeifReader::Recognises(path)) {
        return OpenWithQt(path);
    }
    heif_ = std::make_unique<CHeifReader>();
    if (const Status status = heif_->Open(path); Failed(status)) {
        return status;
    }
    if (const Status status = CheckSize(heif_->Size()); Failed(status)) {
        return status;
    }
    return CImageFileCheck::IsComplete(path, "heif") ? Status::Ok : Status::GenericError;
}

Status CPictureReader::OpenWithQt(const QString& path)
{
    reader_.setFileName(path);
    reader_.setAutoTransform(true);
    reader_.setAllocationLimit(kDecodeAllocationLimitMb);
    if (!reader_.canRead()) {
        return StatusOfReader();
    }
    if (const Status status = CheckSize(Size()); Failed(status)) {
        return status;
    }
    return CImageFileCheck::IsComplete(path, reader_.format()) ? Status::Ok : Status::GenericError;
}

QSize CPictureReader::Size() const
{
    if (heif_) {
        return heif_->Size();
    }
    // A bitmap stored top-down announces a negative height.
    const QSize announced = reader_.size();
    const QSize stored(std::abs(announced.width()), std::abs(announced.height()));
    const bool turned = reader_.transformation() & QImageIOHandler::TransformationRotate90;
    return turned ? stored.transposed() : stored;
}

Status CPictureReader::Read(QImage* image, QSize scaled)
{
    if (heif_) {
        return heif_->Read(image);
    }
    if (reader_.format() == "png") {
        if (std::optional<QImage> keyed = CPngColourKey::Decode(reader_.fileName())) {
            *image = std::move(*keyed);
            return image->isNull() ? Status::GenericError : Status::Ok;
        }
    }
    if (scaled.isValid()) {
        // The reader's scaled size applies before the orientation is applied.
        const bool turned = reader_.transformation() & QImageIOHandler::TransformationRotate90;
        reader_.setScaledSize(turned ? scaled.transposed() : scaled);
    }
    return reader_.read(image) ? Status::Ok : StatusOfReader();
}
