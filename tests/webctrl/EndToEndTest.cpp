#include "../transfer/ZipBuilder.h"
#include "CLocalHttpServer.h"
#include "CProcesses.h"
#include "WebctrlTesting.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

namespace {

QString Encoded(const QString& text)
{
    return QString::fromLatin1(text.toUtf8().toPercentEncoding());
}

// The real downloader, installed in a temporary installation folder, started
// through the module by VelunarHost from a velunar: address, fetching from a
// local server. The downloader it started (found by its working folder, the
// installation folder) is ended at the end.
class EndToEndTest : public ::testing::Test
{
protected:
    ~EndToEndTest() override
    {
        for (const platform::ProcessEntry& process : platform::CProcesses::Snapshot()) {
            if (QFileInfo(QString("/proc/%1/cwd").arg(process.pid)).symLinkTarget() ==
                installation_.Install()) {
                platform::CProcesses::Terminate(process.pid);
            }
        }
    }

    // Waits up to 20 s for `path` to exist.
    static bool AppearsSoon(const QString& path)
    {
        QElapsedTimer clock;
        clock.start();
        while (!QFile::exists(path) && clock.elapsed() < 20000) {
            QThread::msleep(50);
        }
        return QFile::exists(path);
    }

    CTestInstallation installation_;
    CLocalHttpServer server_;
};

TEST_F(EndToEndTest, AddressLeadsToThePackageUnpackedInTheItemsFolder)
{
    const std::string package = BuildZip({.entries = {{.name = "별/star.png", .data = "star"},
                                                      {.name = "moon.png", .data = "moon"}}});
    server_.Route("/items/sky.zip", [&package](const HttpRequest&, CHttpConnection& connection) {
        connection.Respond(200, {{"Content-Type", "application/zip"}}, package);
    });
    ASSERT_TRUE(QFile::link(PIXVEL_DOWNLOADER, installation_.Install() + "/PixvelDownloader"));
    CTestInstallation::SetValue(kTestKey, "DOWNLOAD_FOLDER", "items");
    QProcess regsvr;
    regsvr.start(PIXVEL_TOOL, {"regsvr", PIXVEL_VELUNAR_MODULE});
    ASSERT_TRUE(regsvr.waitForFinished(30000));
    ASSERT_EQ(regsvr.exitCode(), 0);

    const QString address = "velunar:download?title=PixvelDownloader&key=" + Encoded(kTestKey) +
                            "&program=PixvelDownloader&name=" + Encoded("하늘 세트") + "&url=" +
                            Encoded(QString::fromStdString(server_.Url("/items/sky.zip"))) +
                            "&file=sky.zip&size=" + QString::number(package.size());
    QProcess host;
    host.start(PIXVEL_VELUNAR_HOST, {"--url", address});
    ASSERT_TRUE(host.waitForFinished(30000));
    EXPECT_EQ(host.exitCode(), 0) << host.readAllStandardError().toStdString();
    EXPECT_TRUE(host.readAllStandardOutput().endsWith("ClipDownload: TRUE\n"));

    const QString items = installation_.Install() + "/items";
    ASSERT_TRUE(AppearsSoon(items + "/별/star.png"));
    ASSERT_TRUE(AppearsSoon(items + "/moon.png"));
    QElapsedTimer clock;
    clock.start();
    while (QFile::exists(items + "/sky.zip") && clock.elapsed() < 20000) {
        QThread::msleep(50);
    }
    EXPECT_FALSE(QFile::exists(items + "/sky.zip")); // unpacked, then deleted
    QFile star(items + "/별/star.png");
    ASSERT_TRUE(star.open(QIODevice::ReadOnly));
    EXPECT_EQ(star.readAll(), "star");
}

} // namespace
