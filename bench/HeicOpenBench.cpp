// Opening a HEIC photo as the editor opens it, in-process: the header read of
// the size dialog (CBitmap::Probe) and the whole decode into the editor's
// pixel format (CBitmap::FromFile), medians of five runs.
// Usage: bench_heic_open PHOTO.heic

#include "BenchTimer.h"
#include "CBitmap.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_heic_open PHOTO.heic\n");
        return 2;
    }
    const QString photo = QString::fromLocal8Bit(argv[1]);
    QSize size;
    const double probe = MedianMilliseconds(5, [&] { CBitmap::Probe(photo, &size); });
    CBitmap bitmap;
    const double open = MedianMilliseconds(5, [&] { bitmap = CBitmap::FromFile(photo); });
    if (bitmap.IsNull()) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    std::printf("%s, %d x %d\n", argv[1], bitmap.Width(), bitmap.Height());
    PrintFigure("  header (size dialog)", probe);
    PrintFigure("  open (decode, editor's format)", open);
    return 0;
}
