#include "../transfer/ZipBuilder.h"
#include "CLocalHttpServer.h"
#include "CPackagedInstallation.h"
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
    ~EndToEndTest() override { EndProgramsIn(installation_.Install()); }

    static void EndProgramsIn(const QString& folder)
    {
        for (const platform::ProcessEntry& process : platform::CProcesses::Snapshot()) {
            if (QFileInfo(QString("/proc/%1/cwd").arg(process.pid)).symLinkTarget() == folder) {
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

// A packaged installation (copies of the programs and the module beside the
// package's mark, as the package installs them) and a user who never started
// anything from it: the first shop link sets the user up and the package
// lands in the user's own items folder.
class PackagedEndToEndTest : public EndToEndTest
{
protected:
    PackagedEndToEndTest()
    {
        QDir().mkpath(Packaged());
        for (const char* program :
             {PIXVEL_VELUNAR_HOST, PIXVEL_DOWNLOADER, PIXVEL_VELUNAR_MODULE}) {
            const QString path = QString::fromUtf8(program);
            EXPECT_TRUE(QFile::copy(path, Packaged() + "/" + QFileInfo(path).fileName()));
        }
        QFile mark(Packaged() + "/" + platform::CPackagedInstallation::kMarkFile);
        EXPECT_TRUE(mark.open(QIODevice::WriteOnly));
        savedDataHome_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(installation_.Root() + "/data"));
    }
    ~PackagedEndToEndTest() override
    {
        EndProgramsIn(Packaged());
        savedDataHome_.isNull() ? qunsetenv("XDG_DATA_HOME")
                                : qputenv("XDG_DATA_HOME", savedDataHome_);
    }

    QString Packaged() const { return installation_.Root() + "/usr/lib/pixvel"; }

    QByteArray savedDataHome_;
};

TEST_F(PackagedEndToEndTest, TheFirstShopLinkSetsTheUserUpAndFillsTheUsersItemsFolder)
{
    const std::string package = BuildZip({.entries = {{.name = "별/star.png", .data = "star"}}});
    server_.Route("/items/sky.zip", [&package](const HttpRequest&, CHttpConnection& connection) {
        connection.Respond(200, {{"Content-Type", "application/zip"}}, package);
    });
    const QString key = "Software\\Pixvel";
    const QString address = "velunar:download?title=PixvelDownloader&key=" + Encoded(key) +
                            "&program=PixvelDownloader&name=sky&url=" +
                            Encoded(QString::fromStdString(server_.Url("/items/sky.zip"))) +
                            "&file=sky.zip&size=" + QString::number(package.size());
    QProcess host;
    host.start(Packaged() + "/VelunarHost", {"--url", address});
    ASSERT_TRUE(host.waitForFinished(30000));
    EXPECT_EQ(host.exitCode(), 0) << host.readAllStandardError().toStdString();

    const QString items = installation_.Root() + "/data/pixvel/items";
    const QString settings = "HKEY_CURRENT_USER\\" + key;
    EXPECT_EQ(platform::CRegistry::Read(settings, "APPS_PATH"), Packaged());
    EXPECT_EQ(platform::CRegistry::Read(settings, "DOWNLOAD_FOLDER"), items);
    EXPECT_EQ(platform::CRegistry::Read(settings, "INFO_URL"), "")
        << "the package manager updates a packaged installation";
    ASSERT_TRUE(AppearsSoon(items + "/별/star.png"));
    EXPECT_FALSE(QFile::exists(Packaged() + "/items")) << "nothing is written into the package";

    // A later start changes nothing of what the user has.
    platform::CRegistry::Write(settings, "DOWNLOAD_FOLDER", installation_.Root() + "/elsewhere");
    EXPECT_FALSE(platform::CPackagedInstallation::SetUpUser(Packaged()));
    EXPECT_EQ(platform::CRegistry::Read(settings, "DOWNLOAD_FOLDER"),
              installation_.Root() + "/elsewhere");
}

} // namespace
