#include "CWindowLink.h"
#include "WebctrlTesting.h"

#include <QDateTime>
#include <QProcess>

using platform::CWindowLink;

namespace {

struct ProgramRun
{
    int exitCode = -1;
    QString output;
    QString errors;
};

ProgramRun RunProgram(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

ProgramRun Regsvr(const QStringList& arguments)
{
    return RunProgram(PIXVEL_TOOL, QStringList{"regsvr"} + arguments);
}

ProgramRun Host(const QStringList& arguments)
{
    return RunProgram(PIXVEL_VELUNAR_HOST, arguments);
}

QString Encoded(const QString& text)
{
    return QString::fromLatin1(text.toUtf8().toPercentEncoding());
}

struct Request
{
    QString title = "PixvelDownloader";
    QString key = kTestKey;
    QString program = "PixvelDownloader";
    QString name = "별 세트";
    QString url = "http://127.0.0.1:9/items/%EB%B3%84.zip";
    QString file = "items/별 세트.zip";
    QString size = "3145728";

    QString Address() const
    {
        return "velunar:download?title=" + Encoded(title) + "&key=" + Encoded(key) +
               "&program=" + Encoded(program) + "&name=" + Encoded(name) + "&url=" + Encoded(url) +
               "&file=" + Encoded(file) + "&size=" + size;
    }
    // What reaches the downloader: UTF-8 pieces, "||" between, a NUL after.
    QByteArray Text() const
    {
        return name.toUtf8() + "||" + url.toUtf8() + "||" + file.toUtf8() + QByteArray(1, '\0');
    }
};

// The module registered in a temporary registry, the receiver stand-in
// ready in a temporary installation folder, the host run as a page's link
// would run it.
class HostTest : public ::testing::Test
{
protected:
    HostTest() { EnsureApplication(); }
    void SetUp() override
    {
        ASSERT_EQ(Regsvr({PIXVEL_VELUNAR_MODULE}).exitCode, 0);
        installation_.LinkStandIn();
    }

    // Starts the stand-in as if the downloader were already running.
    void StartReceiver()
    {
        ASSERT_TRUE(QProcess::startDetached(PIXVEL_RECEIVER_STANDIN, {kTestKey}));
        ASSERT_TRUE(CWindowLink::WaitForWindow("PixvelDownloader", 10000));
    }

    CTestInstallation installation_;
};

TEST_F(HostTest, RegistersLoadsAndUnregistersThroughTheTools)
{
    const ProgramRun call = Host(
        {"DownloaderName", "PixvelDownloader", ";", "RegistryPath", kTestKey, "PixvelDownloader"});
    EXPECT_EQ(call.exitCode, 0) << call.errors.toStdString();
    EXPECT_EQ(call.output, "DownloaderName: done\nRegistryPath: done\n");
    EXPECT_EQ(platform::CRegistry::Read(
                  "HKCR\\CLSID\\{6CCF2600-8E27-488A-A4E8-0736D4599923}\\InprocServer32", "@"),
              QFileInfo(PIXVEL_VELUNAR_MODULE).canonicalFilePath());

    const ProgramRun unknown = Host({"Launch"});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.errors.contains("no method 'Launch'"));
    const ProgramRun wrongCount = Host({"ClipDownload", "x"});
    EXPECT_EQ(wrongCount.exitCode, 1);
    EXPECT_EQ(wrongCount.output, "ClipDownload: failed, 0x8002000E DISP_E_BADPARAMCOUNT\n");

    const ProgramRun removed = Regsvr({"--unregister", PIXVEL_VELUNAR_MODULE});
    EXPECT_EQ(removed.exitCode, 0);
    EXPECT_EQ(removed.output, "DllUnregisterServer: 0x00000000 S_OK\n");
    EXPECT_TRUE(QDir(installation_.Registry() + "/HKEY_CLASSES_ROOT")
                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                    .isEmpty());
    const ProgramRun again = Regsvr({"--unregister", PIXVEL_VELUNAR_MODULE});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.output, "DllUnregisterServer: 0x80040200 SELFREG_E_TYPELIB\n");
    const ProgramRun unregistered = Host({"DownloaderName", "x"});
    EXPECT_EQ(unregistered.exitCode, 1);
    EXPECT_TRUE(unregistered.errors.contains("not registered"))
        << unregistered.errors.toStdString();
    EXPECT_EQ(Regsvr({installation_.Root() + "/missing.so"}).exitCode, 1);
}

TEST_F(HostTest, RunningDownloaderGetsTheRequestAfterASecond)
{
    StartReceiver();
    const Request request;
    const qint64 startedAt = QDateTime::currentMSecsSinceEpoch();
    const ProgramRun run =
        Host({"DownloaderName", request.title, ";", "RegistryPath", request.key, request.program,
              ";", "ClipDownload", request.name, request.url, request.file, request.size});
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.output.endsWith("ClipDownload: TRUE\n"));
    EXPECT_EQ(installation_.Started().size(), 1); // no second downloader
    const std::vector<ReceivedMessage> received = installation_.Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].dataWord, 3145728u);
    EXPECT_EQ(received[0].bytes, request.Text());
    EXPECT_EQ(received[0].bytes.size(), request.name.toUtf8().size() + request.url.toUtf8().size() +
                                            request.file.toUtf8().size() + 5);
    EXPECT_GE(received[0].atMs - startedAt, 1000);
}

TEST_F(HostTest, RequestThatCannotBeDeliveredIsNoSuccess)
{
    StartReceiver();
    Request request;
    request.name = QString(CWindowLink::kMaxBytes, 'n');
    const ProgramRun run = Host({"--url", request.Address()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.output.endsWith("ClipDownload: FALSE\n"));
    EXPECT_TRUE(installation_.Received().empty());
}

TEST_F(HostTest, MissingDownloaderIsStartedWithTheKeyAsItsOneArgument)
{
    // Blanks, quotes and shell syntax in the key reach the program as they are.
    Request request;
    request.key = "Software\\Pixvel 테스트 \"$(touch pwned)\"";
    CTestInstallation::SetValue(request.key, "APPS_PATH", installation_.Install());
    const qint64 startedAt = QDateTime::currentMSecsSinceEpoch();
    const ProgramRun run = Host({"--url", request.Address()});
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(run.output, "DownloaderName: done\nRegistryPath: done\nClipDownload: TRUE\n");
    const QStringList started = installation_.Started();
    ASSERT_EQ(started.size(), 1);
    EXPECT_EQ(started[0].section(' ', 1), "1 " + request.key);
    EXPECT_FALSE(QFile::exists(installation_.Install() + "/pwned"));
    const std::vector<ReceivedMessage> received = installation_.Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].bytes, request.Text());
    EXPECT_GE(received[0].atMs - startedAt, 1000);
}

TEST_F(HostTest, ClipDownloadBeforeRegistryPathWithoutAWindowFails)
{
    const Request request;
    const ProgramRun run = Host({"DownloaderName", request.title, ";", "ClipDownload", request.name,
                                 request.url, request.file, request.size});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "DownloaderName: done\nClipDownload: FALSE\n");
    EXPECT_TRUE(installation_.Started().isEmpty());
}

// Each hostile address is answered FALSE and changes nothing: no program
// is started when the downloader is missing, and a running one gets nothing.
TEST_F(HostTest, HostileAddressesChangeNothing)
{
    installation_.LinkStandIn("sub/PixvelDownloader");
    // Where a key leading out of its place would land.
    CTestInstallation::SetValue("Software", "APPS_PATH", installation_.Install());
    std::vector<Request> hostile(7);
    hostile[0].program = "sub/PixvelDownloader";
    hostile[1].program = "../install/PixvelDownloader";
    hostile[2].program = "";
    hostile[3].key = kTestKey + "\\..";
    hostile[4].key = "\\" + kTestKey;
    hostile[5].url = "file:///etc/passwd";
    hostile[6].file = "../../.profile";
    for (bool running : {false, true}) {
        if (running) {
            StartReceiver();
        }
        for (const Request& request : hostile) {
            const ProgramRun run = Host({"--url", request.Address()});
            EXPECT_EQ(run.exitCode, 1) << request.Address().toStdString();
            EXPECT_TRUE(run.output.endsWith("ClipDownload: FALSE\n")) << run.output.toStdString();
        }
        EXPECT_EQ(installation_.Started().size(), running ? 1 : 0);
        EXPECT_TRUE(installation_.Received().empty());
    }
    const ProgramRun notAnAddress = Host({"--url", "file:///etc/passwd"});
    EXPECT_EQ(notAnAddress.exitCode, 1);
    EXPECT_TRUE(notAnAddress.output.isEmpty());
    EXPECT_TRUE(notAnAddress.errors.contains("not a download address"));
}

} // namespace
