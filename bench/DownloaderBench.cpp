// bench_downloader PACKAGE [RUNS]: the downloader's whole path for one
// package against `curl -o` followed by `bsdtar -xf`, in the same run,
// alternating. PACKAGE is served from 127.0.0.1 by bench_http_serve; the
// window runs in this process (offscreen), and each of its runs goes from
// starting `pixvel-tool send` to the worker's end (the last file unpacked,
// the package deleted). Both sides write below /dev/shm. A timer on the
// window thread notes the longest gap between its ticks while the
// downloader works: the longest frame of the GUI thread.

#include "CDownloaderWindow.h"
#include "CRegistry.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

constexpr const char* kWork = "/dev/shm/pixvel-bench-downloader";
constexpr int kTickMs = 2;

double Median(std::vector<double> values)
{
    std::ranges::sort(values);
    return values[values.size() / 2];
}

// Notes the longest gap between ticks of a timer on the window thread while
// it is armed.
class CFrameWatch
{
public:
    CFrameWatch()
    {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
        timer_.start(kTickMs);
    }
    void Arm(bool armed)
    {
        armed_ = armed;
        clock_.start();
        busySince_ = ThreadCpuMs();
    }
    // The longest gap between two ticks, in wall-clock time.
    qint64 Longest() const { return longest_; }
    // The most processor time the window thread spent between two ticks: a
    // long gap with little of it was spent waiting for a core, not working.
    double LongestBusy() const { return longestBusy_; }
    int Over(int ms) const
    {
        return int(std::ranges::count_if(gaps_, [ms](qint64 gap) { return gap > ms; }));
    }

private:
    static double ThreadCpuMs()
    {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
    }
    void Tick()
    {
        if (armed_) {
            const qint64 gap = clock_.restart();
            const double cpu = ThreadCpuMs();
            gaps_.push_back(gap);
            longest_ = std::max(longest_, gap);
            longestBusy_ = std::max(longestBusy_, cpu - busySince_);
            busySince_ = cpu;
        }
    }

    QTimer timer_;
    QElapsedTimer clock_;
    bool armed_ = false;
    qint64 longest_ = 0;
    double longestBusy_ = 0;
    double busySince_ = 0;
    std::vector<qint64> gaps_;
};

template <typename Condition> void Spin(Condition done)
{
    while (!done()) { // the frame timer wakes the loop every few milliseconds
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

QString Serve(QProcess& server, const QString& package)
{
    server.start(QCoreApplication::applicationDirPath() + "/bench_http_serve", {package});
    server.waitForReadyRead(10000);
    return QString::fromUtf8(server.readLine()).trimmed();
}

// One run of the reference: curl into the folder, then bsdtar there.
double RunReference(const QString& url, const QString& folder)
{
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    QElapsedTimer clock;
    clock.start();
    QProcess shell;
    shell.start(
        "sh",
        {"-c",
         QString("curl -s -o '%1/p.zip' '%2' && bsdtar -xf '%1/p.zip' -C '%1'").arg(folder, url)});
    Spin([&shell] { return shell.state() == QProcess::NotRunning; });
    return clock.nsecsElapsed() / 1e9;
}

// One run of the downloader: from starting the send to the worker's end.
double RunDownloader(CDownloaderWindow& window, CFrameWatch& watch, const QString& url, qint64 size)
{
    QDir(window.DownloadFolder()).removeRecursively();
    QElapsedTimer clock;
    clock.start();
    watch.Arm(true);
    QProcess send;
    send.start(QCoreApplication::applicationDirPath() + "/../tools/pixvel-tool",
               {"send", CDownloaderWindow::kTitle, QString::number(size),
                "bench||" + url + "||items/p.zip"});
    Spin([&] { return send.state() == QProcess::NotRunning && !window.WorkerRunning(); });
    const double seconds = clock.nsecsElapsed() / 1e9;
    watch.Arm(false);
    return seconds;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_downloader PACKAGE [RUNS]\n");
        return 1;
    }
    const QString package = QFileInfo(argv[1]).absoluteFilePath();
    const int runs = argc > 2 ? std::atoi(argv[2]) : 8;
    const QString work = kWork;
    QDir(work).removeRecursively();
    QDir().mkpath(work + "/runtime");
    qputenv("XDG_RUNTIME_DIR", (work + "/runtime").toUtf8());
    qputenv("PIXVEL_REGISTRY_DIR", (work + "/registry").toUtf8());
    platform::CRegistry::Write("HKCU\\Software\\PixvelBench", "APPS_PATH", work + "/apps");
    platform::CRegistry::Write("HKCU\\Software\\PixvelBench", "DOWNLOAD_FOLDER", "items");

    QProcess server;
    const QString url = Serve(server, package);
    CDownloaderWindow window;
    if (url.isEmpty() || !window.Initialise({"Software\\PixvelBench"}) ||
        !window.StartListening()) {
        std::fprintf(stderr, "bench_downloader: cannot start the server or the window\n");
        return 1;
    }
    window.show();
    CFrameWatch watch;
    const qint64 size = QFileInfo(package).size();
    std::vector<double> ours;
    std::vector<double> reference;
    RunReference(url, work + "/reference"); // warm-up of both sides
    RunDownloader(window, watch, url, size);
    for (int run = 0; run < runs; ++run) {
        if (run % 2 == 0) {
            ours.push_back(RunDownloader(window, watch, url, size));
            reference.push_back(RunReference(url, work + "/reference"));
        } else {
            reference.push_back(RunReference(url, work + "/reference"));
            ours.push_back(RunDownloader(window, watch, url, size));
        }
        std::printf("run %d: downloader %.3f s, curl + bsdtar %.3f s\n", run + 1, ours.back(),
                    reference.back());
    }
    int files = 0;
    for (QDirIterator entry(work + "/apps/items", QDir::Files, QDirIterator::Subdirectories);
         entry.hasNext(); entry.next()) {
        ++files;
    }
    std::printf("package %s (%.1f MB, %d files unpacked)\n", qPrintable(package), size / 1e6,
                files);
    std::printf("median of %d: downloader %.3f s, curl + bsdtar %.3f s, ratio %.2f\n", runs,
                Median(ours), Median(reference), Median(ours) / Median(reference));
    std::printf("window thread during the transfers: longest frame %lld ms (most processor "
                "time it used in one frame: %.1f ms); frames over 20 ms: %d, over 50 ms: %d\n",
                static_cast<long long>(watch.Longest()), watch.LongestBusy(), watch.Over(20),
                watch.Over(50));
    server.terminate();
    server.waitForFinished(5000);
    QDir(work).removeRecursively();
    return 0;
}
