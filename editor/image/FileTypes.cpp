#include "FileTypes.h"

#include "CImageEncoders.h"

#include <QFileInfo>

#include <utility>
#include <vector>

namespace FileTypes {

// Each pattern list is followed by one blank and seven tabs before the next bar.
#define PIXVEL_PAD " \t\t\t\t\t\t\t"
const char* const kImageFilter =
    "모든이미지|*.JPG;*.JPEG;*.JPE;*.JFIF;*.BMP;*.DIB;*.RLE;*.GIF;*.PNG;*.TIF;*.TIFF;*.WEBP;"
    "*.HEIC;*.HEIF;*.AVIF" PIXVEL_PAD
    "|JPG파일(*.JPG;*.JPEG;*.JPE;*.JFIF)|*.JPG;*.JPEG;*.JPE;*.JFIF" PIXVEL_PAD
    "|비트맵파일(*.BMP;*.DIB;*.RLE)|*.BMP;*.DIB;*.RLE" PIXVEL_PAD "|GIF파일(*.GIF)|*.GIF" PIXVEL_PAD
    "|PNG파일(*.PNG)|*.PNG" PIXVEL_PAD "|TIF파일(*.TIF;*.TIFF)|*.TIF;*.TIFF" PIXVEL_PAD
    "|WEBP파일(*.WEBP)|*.WEBP" PIXVEL_PAD "|HEIC파일(*.HEIC;*.HEIF)|*.HEIC;*.HEIF" PIXVEL_PAD
    "|AVIF파일(*.AVIF)|*.AVIF" PIXVEL_PAD "||";
#undef PIXVEL_PAD

const char* const kDefaultExtension =
    "BMP;DIB;RLE;GIF;JPG;JPEG;JPE;JFIF;PNG;TIF;TIFF;WEBP;HEIC;HEIF;"
    "AVIF|BMP;DIB;RLE|GIF|JPG;JPEG;JPE;JFIF|PNG|TIF;TIFF|WEBP|"
    "HEIC;HEIF|AVIF";

namespace {

using Entry = std::pair<QString, QStringList>; // label, patterns

std::vector<Entry> Entries()
{
    const QStringList parts = QString::fromUtf8(kImageFilter).split('|', Qt::SkipEmptyParts);
    std::vector<Entry> entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        entries.emplace_back(parts[i].trimmed(), parts[i + 1].trimmed().split(';'));
    }
    return entries;
}

QString DialogFilter(const QString& label, const QStringList& patterns)
{
    QStringList both;
    for (const QString& pattern : patterns) {
        // Linux file names are case-sensitive: offer both spellings.
        both << pattern << pattern.toLower();
    }
    return label + " (" + both.join(' ') + ")";
}

} // namespace

QStringList DialogFilters()
{
    QStringList filters;
    for (const auto& [label, patterns] : Entries()) {
        filters << DialogFilter(label, patterns);
    }
    return filters;
}

QStringList SaveDialogFilters()
{
    QStringList filters;
    for (const auto& [label, patterns] : Entries()) {
        QStringList writable;
        for (const QString& pattern : patterns) {
            if (CImageEncoders::ChooseEncoder(pattern).found) {
                writable << pattern;
            }
        }
        if (!writable.isEmpty()) {
            filters << DialogFilter(label, writable);
        }
    }
    return filters;
}

bool IsReadOnly(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.isEmpty()) {
        return false;
    }
    const QStringList readable = Entries().front().second; // "모든이미지"
    return readable.contains("*." + suffix, Qt::CaseInsensitive) &&
           !CImageEncoders::ChooseEncoder(path).found;
}

QString WithDefaultExtension(const QString& fileName)
{
    if (!QFileInfo(fileName).suffix().isEmpty()) {
        return fileName;
    }
    return fileName + "." + QString::fromUtf8(kDefaultExtension).left(3);
}

} // namespace FileTypes
