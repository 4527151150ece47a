// Saving and opening a project of a photo with 20 stickers, as the editor
// saves and opens one (snapshot of the canvas, bitmaps as PNG in a ZIP
// package; read, checked and decoded whole). Writes to /dev/shm, so the disk
// does not count. Prints the median of 3 runs of each and the file's size.
// Usage: bench_project PHOTO.jpg

#include "BenchSticker.h"
#include "BenchTimer.h"
#include "CBitmap.h"
#include "CItemCanvas.h"
#include "CPictureItem.h"
#include "CProjectReader.h"
#include "CProjectWriter.h"

#include <QFile>
#include <QGuiApplication>

#include <ctime>

namespace {

// CPU time of the whole process (every thread) in milliseconds: on a busy
// machine the wall time says little.
double CpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The median wall time of 3 runs, and the mean CPU time per run.
template <typename Work> void Measure(const char* name, Work&& work)
{
    const double cpu = CpuMilliseconds();
    PrintFigure(name, MedianMilliseconds(3, work));
    PrintFigure("  CPU time, all threads", (CpuMilliseconds() - cpu) / 3);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_project PHOTO.jpg\n");
        return 1;
    }
    CBitmap photo = CBitmap::FromFile(QString::fromLocal8Bit(argv[1]));
    if (photo.IsNull()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    CItemCanvas canvas;
    canvas.AddPicture(std::move(photo.Image()), 0, 0, 0, 0, 1.0f);
    const QSizeF size = canvas.BaseSize();
    for (int seed = 0; seed < 20; ++seed) {
        CPictureItem* sticker = canvas.AddPicture(BenchSticker(seed), size.width() * (seed % 5) / 5,
                                                  size.height() * (seed / 5) / 4, 0, 0, 1.0f);
        sticker->RotateAboutCentre(seed * 17);
        sticker->Effects().hue = seed * 9;
    }
    std::printf("%d x %d, %d stickers\n", int(size.width()), int(size.height()),
                canvas.Count() - 1);

    const QString path = QStringLiteral("/dev/shm/pixvel-bench.pixvel");
    Measure("save project",
            [&] { CProjectWriter::Save(ProjectContent::Snapshot(canvas), path, nullptr); });
    std::printf("%-40s %9.1f MB\n", "  file", QFile(path).size() / 1e6);
    PrintFigure("snapshot on the GUI thread",
                MedianMilliseconds(3, [&] { (void)ProjectContent::Snapshot(canvas); }));
    bool read = true;
    Measure("open project",
            [&] { read = read && CProjectReader::Read(path, nullptr).has_value(); });
    QFile::remove(path);
    return read ? 0 : 1;
}
