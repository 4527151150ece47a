#include "FileTypes.h"

#include <QFileInfo>

namespace FileTypes {

// Each pattern list is followed by one blank and seven tabs before the next bar.
#define PIXVEL_PAD " \t\t\t\t\t\t\t"
const char* const kImageFilter =
    "모든이미지|*.JPG;*.JPEG;*.JPE;*.JFIF;*.BMP;*.DIB;*.RLE;*.GIF;*.PNG;*.TIF;*.TIFF" PIXVEL_PAD
    "|JPG파일(*.JPG;*.JPEG;*.JPE;*.JFIF)|*.JPG;*.JPEG;*.JPE;*.JFIF" PIXVEL_PAD
    "|비트맵파일(*.BMP;*.DIB;*.RLE)|*.BMP;*.DIB;*.RLE" PIXVEL_PAD "|GIF파일(*.GIF)|*.GIF" PIXVEL_PAD
    "|PNG파일(*.PNG)|*.PNG" PIXVEL_PAD "|TIF파일(*.TIF;*.TIFF)|*.TIF;*.TIFF" PIXVEL_PAD "||";
#undef PIXVEL_PAD

const char* const kDefaultExtension =
    "BMP;DIB;RLE;GIF;JPG;JPEG;JPE;JFIF;PNG;TIF;TIFF|BMP;DIB;RLE|GIF|JPG;JPEG;JPE;JFIF|PNG|TIF;TIFF";

QStringList DialogFilters()
{
    const QStringList parts = QString::fromUtf8(kImageFilter).split('|', Qt::SkipEmptyParts);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].trimmed().split(';')) {
            // Linux file names are case-sensitive: offer both spellings.
            patterns << pattern << pattern.toLower();
        }
        filters << parts[i].trimmed() + " (" + patterns.join(' ') + ")";
    }
    return filters;
}

QString WithDefaultExtension(const QString& fileName)
{
    if (!QFileInfo(fileName).suffix().isEmpty()) {
        return fileName;
    }
    return fileName + "." + QString::fromUtf8(kDefaultExtension).left(3);
}

} // namespace FileTypes
