#include "CThumbnailMaker.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace {

// Decoders may allocate at most this much for one picture.
constexpr int kAllocationLimitMb = 256;

// Reads a whole regular file of bounded size. The path is opened without
// blocking (a pipe or a device behind a link would otherwise hang or never
// end) and the opened file is checked again, so a file swapped after the
// first check is not read either.
bool ReadRegularFile(const QString& path, QByteArray& data)
{
    const QByteArray encoded = QFile::encodeName(path);
    struct stat info
    {
    };
    if (stat(encoded.constData(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    const int fd = open(encoded.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
              info.st_size <= CThumbnailMaker::kMaxFileBytes;
    if (ok) {
        data.resize(qsizetype(info.st_size));
        qsizetype done = 0;
        while (done < data.size()) {
            const ssize_t got = read(fd, data.data() + done, size_t(data.size() - done));
            if (got <= 0) {
                break;
            }
            done += got;
        }
        data.truncate(done); // a file that shrank meanwhile is decoded as far as it goes
        ok = done > 0;
    }
    close(fd);
    return ok;
}

// Some decoders fill a cut-off picture with grey and report success: a JPEG
// must end with its end-of-image marker, a GIF with its trailer, a BMP must
// hold the bytes its header counts (trailing zero padding is allowed).
bool LooksComplete(const QByteArray& data, const QByteArray& format)
{
    QByteArrayView tail(data);
    while (!tail.isEmpty() && tail.back() == '\0') {
        tail.chop(1);
    }
    if (format == "jpeg" || format == "jpg") {
        return tail.endsWith("\xFF\xD9");
    }
    if (format == "gif") {
        return tail.endsWith(';');
    }
    if (format == "bmp" && data.size() >= 6) {
        const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
        const qint64 declared = qint64(bytes[2]) | qint64(bytes[3]) << 8 | qint64(bytes[4]) << 16 |
                                qint64(bytes[5]) << 24;
        return declared <= data.size();
    }
    return true;
}

bool DecodesScaled(const QByteArray& format)
{
    return format == "jpeg" || format == "jpg" || format == "svg" || format == "svgz";
}

// Decodes the picture at the size it takes on the square.
QImage Decode(QByteArray& data, QRect& placed)
{
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(kAllocationLimitMb);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) {
        return {};
    }
    placed = CThumbnailMaker::Geometry(size);
    const QByteArray format = reader.format();
    if (!LooksComplete(data, format)) {
        return {};
    }
    if (DecodesScaled(format)) {
        reader.setScaledSize(placed.size());
        reader.setQuality(49); // fast DCT and plain upsampling: no visible loss at 60×60
    } else if (qint64(size.width()) * size.height() > CThumbnailMaker::kMaxFullDecodePixels) {
        return {};
    }
    QImage image = reader.read();
    if (image.isNull()) {
        return {};
    }
    if (image.size() != placed.size()) {
        image = image.scaled(placed.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return image;
}

QImage WhiteSquare()
{
    QImage square(CThumbnailMaker::kSize, CThumbnailMaker::kSize, QImage::Format_RGB32);
    square.fill(Qt::white);
    return square;
}

} // namespace

QRect CThumbnailMaker::Geometry(QSize picture)
{
    const float ratio = float(picture.height()) / float(picture.width());
    if (ratio > 1.0f) {
        const int width = std::max(1, int(float(kSize) / ratio));
        return {(kSize - width) / 2, 0, width, kSize};
    }
    const int height = std::max(1, int(float(kSize) * ratio));
    return {0, (kSize - height) / 2, kSize, height};
}

Thumbnail CThumbnailMaker::Blank()
{
    return {WhiteSquare(), QRect()};
}

Thumbnail CThumbnailMaker::Make(const QString& path)
{
    QByteArray data;
    if (!ReadRegularFile(path, data)) {
        return Blank();
    }
    QRect placed;
    const QImage picture = Decode(data, placed);
    if (picture.isNull()) {
        return Blank();
    }
    Thumbnail thumbnail{WhiteSquare(), placed};
    QPainter painter(&thumbnail.square);
    painter.drawImage(placed.topLeft(), picture);
    return thumbnail;
}
