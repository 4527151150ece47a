// Opens one project file as the editor does (read, checked, decoded) and
// prints whether it opened or was refused, and the wall time. Run once per
// process, so that the process's peak memory is that of this one file
// (bench/hostile-projects.sh measures it). Usage: bench_open_project FILE

#include "BenchTimer.h"
#include "CProjectReader.h"

#include <QGuiApplication>

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_open_project FILE\n");
        return 2;
    }
    QString error;
    bool opened = false;
    const double milliseconds = MedianMilliseconds(1, [&] {
        opened = CProjectReader::Read(QString::fromLocal8Bit(argv[1]), &error).has_value();
    });
    std::printf("%s %.1f ms %s\n", opened ? "opened" : "refused", milliseconds,
                qPrintable(error.replace('\n', ' ')));
    return 0;
}
