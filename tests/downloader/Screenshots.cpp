// Takes the downloader's screenshots for the documentation: run under
// xvfb-run with the output folder as the argument. Three requests against a
// local server: during the transfer (one done, one half-way, one waiting)
// and after it.
#include "../transfer/TempFolder.h"
#include "../transfer/ZipBuilder.h"
#include "CDownloaderWindow.h"
#include "CLocalHttpServer.h"
#include "CRegistry.h"
#include "CTextProgressBar.h"

#include <QApplication>
#include <QElapsedTimer>

#include <condition_variable>

namespace {

// The window as it shows, once the reports posted to it are painted.
void Grab(QWidget& window, const QString& path)
{
    QCoreApplication::sendPostedEvents();
    QApplication::processEvents();
    window.grab().save(path);
}

template <typename Condition> void WaitFor(Condition done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 20000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

void Request(CDownloaderWindow& window, uint32_t size, const std::string& text)
{
    window.OnRequest(size, QByteArray(text.c_str(), qsizetype(text.size() + 1)));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    TempFolder folder;
    setenv("PIXVEL_REGISTRY_DIR", (folder / "registry").c_str(), 1);
    const QString key = "HKCU\\Software\\Pixvel";
    platform::CRegistry::Write(key, "APPS_PATH",
                               QString::fromStdString((folder / "Pixvel").string()));
    platform::CRegistry::Write(key, "DOWNLOAD_FOLDER", "items");

    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
    const std::string big =
        BuildZip({.entries = {{.name = "액자/1.png", .data = NoiseBytes(6 << 20), .method = 0}}});
    CLocalHttpServer server;
    const std::string hearts = BuildZip({.entries = {{.name = "하트/1.png", .data = "1"}}});
    const std::string stars = BuildZip({.entries = {{.name = "별/1.png", .data = "1"}}});
    const auto serve = [](const std::string& package) {
        return [package](const HttpRequest&, CHttpConnection& connection) {
            connection.Respond(200, {{"Content-Type", "application/zip"}}, package);
        };
    };
    server.Route("/hearts.zip", serve(hearts));
    server.Route("/stars.zip", serve(stars));
    server.Route("/frames.zip", [&](const HttpRequest&, CHttpConnection& connection) {
        connection.Send("HTTP/1.1 200 OK\r\nContent-Type: application/zip\r\nContent-Length: " +
                        std::to_string(big.size()) + "\r\n\r\n");
        connection.Send(std::string_view(big).substr(0, big.size() * 58 / 100));
        std::unique_lock lock(mutex);
        opened.wait_for(lock, std::chrono::seconds(20), [&] { return open; });
        lock.unlock();
        connection.Send(std::string_view(big).substr(big.size() * 58 / 100));
    });

    CDownloaderWindow window;
    window.Initialise({"Software\\Pixvel"});
    window.move(40, 40);
    window.show();
    Request(window, uint32_t(hearts.size()),
            "하트 스티커||" + server.Url("/hearts.zip") + "||items\\hearts.zip");
    Request(window, uint32_t(big.size()),
            "액자 모음||" + server.Url("/frames.zip") + "||items\\frames.zip");
    Request(window, uint32_t(stars.size()),
            "별 스티커||" + server.Url("/stars.zip") + "||items\\stars.zip");
    WaitFor([&] { return window.RowBar(1)->value() >= 50; });
    Grab(window, out + "/downloader-transfer.png");
    {
        std::lock_guard lock(mutex);
        open = true;
    }
    opened.notify_all();
    WaitFor([&] { return !window.WorkerRunning(); });
    Grab(window, out + "/downloader-done.png");
    return 0;
}
