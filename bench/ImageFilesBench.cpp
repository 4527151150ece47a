// Load and save of a 24-megapixel picture through the encoders, in-process.
// Usage: bench_image_files [PHOTO.jpg]   (without a photo, one is made up)

#include "BenchTimer.h"
#include "CBitmap.h"
#include "CImageEncoders.h"

#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>

#include <cmath>

namespace {

// A smooth picture with fine detail, which compresses like a photo.
QImage MadeUpPhoto(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const double v = std::sin(x * 0.013) * std::cos(y * 0.011);
            const int detail = ((x * 7 + y * 13) ^ (x * y)) & 15;
            line[x] = qRgb(int(120 + 90 * v) + detail, int(100 + 60 * std::sin(y * 0.003)) + detail,
                           int(140 - 80 * v) + detail);
        }
    }
    return image;
}

void MeasureFormat(const QString& source, const QString& target, const char* name)
{
    EncoderChoice choice = CImageEncoders::ChooseEncoder(target);
    choice.jpegQuality = kDocumentJpegQuality;
    CBitmap bitmap;
    const double load = MedianMilliseconds(3, [&] { bitmap = CBitmap::FromFile(source); });
    const double save = MedianMilliseconds(3, [&] { bitmap.Save(target, choice); });
    std::printf("%s, %d x %d\n", name, bitmap.Width(), bitmap.Height());
    PrintFigure("  load", load);
    PrintFigure("  save", save);
    PrintFigure("  load + save", load + save);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QTemporaryDir dir;
    QString jpeg = argc > 1 ? QString::fromLocal8Bit(argv[1]) : dir.filePath("photo.jpg");
    const QString png = dir.filePath("photo.png");
    {
        CBitmap photo = argc > 1 ? CBitmap::FromFile(jpeg) : CBitmap(MadeUpPhoto(6000, 4000));
        EncoderChoice choice = CImageEncoders::ChooseEncoder(jpeg);
        choice.jpegQuality = kDocumentJpegQuality;
        if (argc == 1) {
            photo.Save(jpeg, choice);
        }
        photo.Save(png, CImageEncoders::ChooseEncoder(png));
    }
    MeasureFormat(jpeg, dir.filePath("out.jpg"), "JPEG quality 95");
    MeasureFormat(png, dir.filePath("out.png"), "PNG");
    return 0;
}
