// pixvel-tool fetch, unpack and reg as a user calls them: exit codes,
// messages and the files left behind.

#include "../transfer/TempFolder.h"
#include "../transfer/ZipBuilder.h"
#include "CLocalHttpServer.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct ToolRun
{
    int exitCode = -1;
    std::string out;
    std::string error;
};

class TransferCommandsTest : public ::testing::Test
{
protected:
    TransferCommandsTest()
    {
        server_.Route("/info.txt", Answer(200, "text/plain", "VERSION:2.0\nUPDATE_DATE:d\n"));
        server_.Route("/gone", Answer(404, "text/html", "<h1>Not Found</h1>"));
    }

    static CLocalHttpServer::Handler Answer(int status, std::string type, std::string body)
    {
        return [=](const HttpRequest&, CHttpConnection& connection) {
            connection.Respond(status, {{"Content-Type", type}}, body);
        };
    }

    // Starts pixvel-tool with a registry of the test's own.
    void Start(QProcess& tool, const QStringList& arguments) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PIXVEL_REGISTRY_DIR", Path("registry"));
        tool.setProcessEnvironment(environment);
        tool.setWorkingDirectory(QString::fromStdString(folder_.Path().string()));
        tool.start(PIXVEL_TOOL, arguments);
    }

    ToolRun Run(const QStringList& arguments) const
    {
        QProcess tool;
        Start(tool, arguments);
        tool.waitForFinished(60000);
        return {tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1,
                tool.readAllStandardOutput().toStdString(),
                tool.readAllStandardError().toStdString()};
    }

    QString Path(const std::string& name) const
    {
        return QString::fromStdString((folder_ / name).string());
    }

    QString Url(const std::string& path) const { return QString::fromStdString(server_.Url(path)); }

    // File names in the test folder whose name ends in ".part".
    std::vector<std::string> PartialFiles() const
    {
        std::vector<std::string> names;
        for (const auto& item : fs::recursive_directory_iterator(folder_.Path())) {
            if (item.path().filename().string().ends_with(".part")) {
                names.push_back(item.path().filename().string());
            }
        }
        return names;
    }

    TempFolder folder_;
    CLocalHttpServer server_;
};

TEST_F(TransferCommandsTest, FetchPrintsTextOrWritesTheFile)
{
    ToolRun run = Run({"fetch", Url("/info.txt")});
    EXPECT_EQ(run.exitCode, 0) << run.error;
    EXPECT_EQ(run.out, "VERSION:2.0\r\nUPDATE_DATE:d\r\n");

    const std::string body = NoiseBytes(300000);
    server_.Route("/items/a b.bin", Answer(200, "application/octet-stream", body));
    server_.Route("/items/a%20b.bin", Answer(200, "application/octet-stream", body));
    run = Run({"fetch", Url("/items/a b.bin"), "sub/a.bin"});
    EXPECT_EQ(run.exitCode, 0) << run.error;
    EXPECT_EQ(ReadFile(folder_ / "sub/a.bin"), body);
    EXPECT_NE(run.error.find("292 KB / 292 KB (100%)"), std::string::npos) << run.error;
}

TEST_F(TransferCommandsTest, FetchRefusesErrorPagesAndStrangeAddresses)
{
    WriteFile(folder_ / "program", "installed");
    ToolRun run = Run({"fetch", Url("/gone"), "program"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.error.find("pixvel-tool: cannot fetch: the server answered 404"),
              std::string::npos)
        << run.error;
    EXPECT_EQ(ReadFile(folder_ / "program"), "installed");

    run = Run({"fetch", Url("/gone")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    for (const char* address : {"file:///etc/passwd", "not an address"}) {
        run = Run({"fetch", address, "x"});
        EXPECT_EQ(run.exitCode, 1) << address;
        EXPECT_TRUE(run.error.starts_with("pixvel-tool: cannot fetch")) << run.error;
    }
    EXPECT_FALSE(fs::exists(folder_ / "x"));
    EXPECT_EQ(Run({"fetch"}).exitCode, 1);
}

TEST_F(TransferCommandsTest, FetchUnpacksAPackageBesideItselfAndDeletesIt)
{
    server_.Route("/set.zip", Answer(200, "application/zip",
                                     BuildZip({{{.name = "stars/a.txt", .data = "a"},
                                                {.name = "../evil.txt", .data = "e"}}})));
    const ToolRun run = Run({"fetch", Url("/set.zip"), "items/set.ZIP"});
    EXPECT_EQ(run.exitCode, 0) << run.error;
    EXPECT_EQ(ReadFile(folder_ / "items/stars/a.txt"), "a");
    EXPECT_NE(run.out.find("items/stars/a.txt"), std::string::npos) << run.out;
    EXPECT_NE(run.error.find("skipped '../evil.txt'"), std::string::npos) << run.error;
    EXPECT_FALSE(fs::exists(folder_ / "items/set.ZIP"));
    EXPECT_FALSE(fs::exists(folder_ / "evil.txt"));
}

TEST_F(TransferCommandsTest, FetchEndedBySignalLeavesNoPartialFile)
{
    server_.Route("/slow", [](const HttpRequest&, CHttpConnection& connection) {
        connection.Trickle(100000000, 4096, std::chrono::milliseconds(50),
                           std::chrono::seconds(20));
    });
    // Left by a run two days ago: removed by the next transfer into the folder.
    WriteFile(folder_ / ".pixvel-1-0.part", "stale");
    fs::last_write_time(folder_ / ".pixvel-1-0.part",
                        fs::file_time_type::clock::now() - std::chrono::hours(48));
    for (int signal : {SIGTERM, SIGINT}) {
        WriteFile(folder_ / "big.bin", "old");
        QProcess tool;
        Start(tool, {"fetch", Url("/slow"), "big.bin"});
        // The tool's own partial file, once the stale one has gone.
        const auto running = [this] {
            const std::vector<std::string> names = PartialFiles();
            return names.size() == 1 && names[0] != ".pixvel-1-0.part";
        };
        for (int wait = 0; wait < 1000 && !running(); ++wait) {
            usleep(10000);
        }
        ASSERT_TRUE(running());
        kill(pid_t(tool.processId()), signal);
        ASSERT_TRUE(tool.waitForFinished(10000));
        EXPECT_EQ(tool.exitStatus(), QProcess::CrashExit);
        EXPECT_TRUE(PartialFiles().empty());
        EXPECT_EQ(ReadFile(folder_ / "big.bin"), "old");
    }
}

TEST_F(TransferCommandsTest, UnpackListsWhatItWroteAndNamesWhatItSkipped)
{
    WriteFile(folder_ / "p.zip",
              BuildZip({{{.name = "a/one.txt", .data = "one"},
                         {.name = "\xc7\xcf\xc6\xae.txt", .data = "heart"}, // code page 949
                         {.name = "/abs.txt", .data = "x"}}}));
    ToolRun run = Run({"unpack", Path("p.zip"), "--into", Path("out")});
    EXPECT_EQ(run.exitCode, 0) << run.error;
    EXPECT_EQ(run.out, (folder_ / "out/a/one.txt").string() + "\n" +
                           (folder_ / "out/하트.txt").string() + "\n");
    EXPECT_EQ(run.error, "pixvel-tool: skipped '/abs.txt': cannot be written there\n");
    EXPECT_EQ(ReadFile(folder_ / "out/하트.txt"), "heart");
    EXPECT_TRUE(fs::exists(folder_ / "p.zip"));

    run = Run({"unpack", "p.zip", "--delete"});
    EXPECT_EQ(run.exitCode, 0) << run.error;
    EXPECT_EQ(ReadFile(folder_ / "a/one.txt"), "one");
    EXPECT_FALSE(fs::exists(folder_ / "p.zip"));
}

TEST_F(TransferCommandsTest, UnpackRefusesWhatIsNoPackage)
{
    WriteFile(folder_ / "broken.zip", "this is no package");
    ToolRun run = Run({"unpack", "broken.zip", "--delete"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.error.starts_with("pixvel-tool: cannot unpack 'broken.zip'")) << run.error;
    EXPECT_TRUE(fs::exists(folder_ / "broken.zip")); // kept for a look
    run = Run({"unpack", "missing.zip"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.error.starts_with("pixvel-tool: cannot unpack 'missing.zip'")) << run.error;
    run = Run({"unpack", "broken.zip", "--sideways"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.error, "pixvel-tool: unknown option '--sideways'\n");
}

TEST_F(TransferCommandsTest, UnpackRefusesAPackageBeyondItsBudgetWithOneLine)
{
    WriteFile(folder_ / "bomb.zip",
              BuildZip({{{.name = "zeros.bin", .data = std::string(65 << 20, '\0')}}}));
    const ToolRun run = Run({"unpack", "bomb.zip", "--into", Path("out")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(
        run.error.starts_with("pixvel-tool: cannot unpack 'bomb.zip': 압축을 풀 수 없습니다: "))
        << run.error;
    EXPECT_EQ(std::count(run.error.begin(), run.error.end(), '\n'), 1);
    EXPECT_FALSE(fs::exists(folder_ / "out"));
}

TEST_F(TransferCommandsTest, RegAddsQueriesAndDeletesValues)
{
    const QString key = "HKCU\\Software\\Pixvel";
    EXPECT_EQ(Run({"reg", "add", key, "INFO_URL", "http://a/b?x=1,2"}).exitCode, 0);
    EXPECT_EQ(Run({"reg", "add", key, "VERSION", "1.5"}).exitCode, 0);
    EXPECT_EQ(Run({"reg", "query", key, "info_url"}).out, "http://a/b?x=1,2\n");
    EXPECT_EQ(Run({"reg", "query", "HKEY_CURRENT_USER\\software\\pixvel"}).out,
              "INFO_URL=http://a/b?x=1,2\nVERSION=1.5\n");
    EXPECT_TRUE(fs::exists(folder_ / "registry/HKEY_CURRENT_USER/software/pixvel.ini"));

    EXPECT_EQ(Run({"reg", "delete", key, "VERSION"}).exitCode, 0);
    ToolRun run = Run({"reg", "query", key, "VERSION"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.error, "pixvel-tool: the key 'HKCU\\Software\\Pixvel' has no value 'VERSION'\n");
    EXPECT_EQ(Run({"reg", "delete", key}).exitCode, 0);
    EXPECT_EQ(Run({"reg", "query", key}).exitCode, 1);
}

TEST_F(TransferCommandsTest, RegRefusesKeysOutsideTheirHive)
{
    for (const char* key : {"HKCU\\..\\..\\etc", "HKCU\\Software\\\\Pixvel", "/etc/passwd",
                            "Software\\Pixvel", "HKCU"}) {
        const ToolRun run = Run({"reg", "add", key, "A", "x"});
        EXPECT_EQ(run.exitCode, 1) << key;
        EXPECT_NE(run.error.find("is not a key"), std::string::npos) << run.error;
    }
    EXPECT_FALSE(fs::exists(folder_ / "registry"));
    EXPECT_EQ(Run({"reg", "move", "HKCU\\Software\\Pixvel"}).exitCode, 1);
}

} // namespace
