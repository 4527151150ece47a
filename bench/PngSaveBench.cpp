// Saving a photo as PNG the way the editor saves its picture (the composite,
// premultiplied ARGB, through the document's encoder choice), against Qt's
// PNG writer at its own default setting. Writes to /dev/shm, so the disk
// does not count. Prints the median time of 3 saves (1 at the slow default)
// and the file sizes.
// Usage: bench_png_save PHOTO.jpg

#include "BenchTimer.h"
#include "CBitmap.h"
#include "CImageEncoders.h"
#include "CItemCanvas.h"

#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>

namespace {

const QString kOut = QStringLiteral("/dev/shm/pixvel-bench-png.png");

void Report(const char* name, double milliseconds)
{
    PrintFigure(name, milliseconds);
    std::printf("%-40s %9.1f MB\n", "  file", QFile(kOut).size() / 1e6);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_png_save PHOTO.jpg\n");
        return 1;
    }
    const CBitmap photo = CBitmap::FromFile(QString::fromLocal8Bit(argv[1]));
    if (photo.IsNull()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const QImage composite = photo.Image().convertToFormat(CItemCanvas::kCompatibleFormat);
    std::printf("%d x %d\n", composite.width(), composite.height());

    const EncoderChoice choice = CImageEncoders::ChooseEncoder(kOut);
    Report("editor save (CImageEncoders)",
           MedianMilliseconds(3, [&] { CImageEncoders::Save(composite, kOut, choice); }));
    Report("Qt PNG writer, its default setting",
           MedianMilliseconds(1, [&] { QImageWriter(kOut, "png").write(composite); }));
    QFile::remove(kOut);
    return 0;
}
