#include "../transfer/TempFolder.h"
#include "../transfer/ZipBuilder.h"
#include "CLocalHttpServer.h"
#include "CRegistry.h"
#include "CUpdateDialog.h"
#include "CUpdater.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <sys/wait.h>

namespace fs = std::filesystem;
using Headers = std::vector<std::pair<std::string, std::string>>;

namespace {

const Headers kText = {{"Content-Type", "text/plain"}};

CLocalHttpServer::Handler Answer(std::string body)
{
    return [body](const HttpRequest&, CHttpConnection& connection) {
        connection.Respond(200, kText, body);
    };
}

const CUpdater::Observer kQuiet{[](auto&) {}, [](int, int) {}, [](uint64_t, int64_t) {}};

TEST(UpdateInfoTest, ExtractsUntrimmedValuesInFileOrder)
{
    std::string value;
    size_t position = 0;
    const std::string text = "UPDATE_PATH:a\r\nx UPDATE_PATH: b \r\nUPDATE_PATH:";
    ASSERT_TRUE(CUpdateInfo::ExtractValue(text, "UPDATE_PATH:", "\r\n", value, &position));
    EXPECT_EQ(value, "a");
    ASSERT_TRUE(CUpdateInfo::ExtractValue(text, "UPDATE_PATH:", "\r\n", value, &position));
    EXPECT_EQ(value, " b ");
    ASSERT_TRUE(CUpdateInfo::ExtractValue(text, "UPDATE_PATH:", "\r\n", value, &position));
    EXPECT_EQ(value, "");
    EXPECT_EQ(position, text.size());
    EXPECT_FALSE(CUpdateInfo::ExtractValue(text, "UPDATE_PATH:", "\r\n", value, &position));
    EXPECT_EQ(value, "");
}

TEST(UpdateInfoTest, DecidesByteForByte)
{
    const std::string rest = "UPDATE_DATE:2024-01-02\r\nUPDATE_URL:http://h/u\r\n"
                             "UPDATE_PATH:one\r\nUPDATE_PATH:\r\nUPDATE_PATH:three/3.zip\r\n";
    UpdateInfo info;
    EXPECT_FALSE(CUpdateInfo::Decide("VERSION:1.10\r\n" + rest, "1.10", info));
    EXPECT_TRUE(CUpdateInfo::Decide("VERSION:1.1\r\n" + rest, "1.10", info));
    EXPECT_TRUE(CUpdateInfo::Decide("VERSION:1.0\r\n" + rest, "1.1", info));
    EXPECT_TRUE(CUpdateInfo::Decide("VERSION: 1.5\r\n" + rest, "1.5", info));
    EXPECT_EQ(info.remoteVersion, " 1.5");
    EXPECT_EQ(info.paths, (std::vector<std::string>{"one", "", "three/3.zip"}));
    EXPECT_EQ(info.baseUrl, "http://h/u");
    EXPECT_TRUE(CUpdateInfo::Decide("  " + rest + "VERSION:2.0\r\n\r\n", "1.5", info));
    EXPECT_EQ(info.remoteVersion, "2.0"); // last line: the trimmed end

    EXPECT_FALSE(CUpdateInfo::Decide("VERSION:2\r\nUPDATE_DATE:d\r\nUPDATE_PATH:p\r\n", "1", info));
    EXPECT_FALSE(CUpdateInfo::Decide("VERSION:2\r\nUPDATE_DATE:d\r\nUPDATE_URL:u\r\n", "1", info));
    EXPECT_FALSE(CUpdateInfo::Decide("", "1", info));
}

TEST(UpdateInfoTest, AmountTextAndPosition)
{
    EXPECT_EQ(CUpdateInfo::AmountText(1536000, 3072000), "1,500KB/3,000KB");
    EXPECT_EQ(CUpdateInfo::ProgressPosition(1536000, 3072000), 50);
    EXPECT_EQ(CUpdateInfo::AmountText(1264000000ULL, 0), "1,234,375KB");
    EXPECT_EQ(CUpdateInfo::ProgressPosition(1536000, 0), 0);
}

// An installation folder, a registry, a server and a stand-in editor whose
// program name is unique to the test (tests run side by side).
class UpdaterFlowTest : public ::testing::Test
{
protected:
    UpdaterFlowTest()
    {
        static std::atomic<int> counter{0};
        editorName_ = "PixvelStandIn-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        setenv("PIXVEL_REGISTRY_DIR", (folder_ / "registry").c_str(), 1);
        fs::create_directories(Install());
        fs::copy_file(PIXVEL_EDITOR_STANDIN, Install() / editorName_);
        platform::CRegistry::Write(CUpdater::kSettingsKey, "VERSION", "1.0");
    }
    ~UpdaterFlowTest() override
    {
        for (pid_t pid : StartedEditors()) {
            kill(pid, SIGKILL);
        }
        while (waitpid(-1, nullptr, WNOHANG) > 0) {
        }
    }

    fs::path Install() const { return folder_ / "install"; }

    void Publish(const std::string& version, const std::vector<std::string>& paths)
    {
        std::string text = "VERSION:" + version +
                           "\nUPDATE_DATE:2024-05-06\nUPDATE_URL:" + server_.Url("/upd") + "\n";
        for (const std::string& path : paths) {
            text += "UPDATE_PATH:" + path + "\n";
        }
        server_.Route("/info.txt", Answer(text));
    }

    QStringList Arguments(const std::string& installed = "1.0") const
    {
        return {QString::fromStdString(Install().string()), QString::fromStdString(editorName_),
                QString::fromStdString(server_.Url("/info.txt")),
                QString::fromStdString(installed)};
    }

    // Starts the stand-in editor as a child of the test.
    pid_t StartEditor()
    {
        const pid_t pid = fork();
        if (pid == 0) {
            const std::string program = (Install() / editorName_).string();
            execl(program.c_str(), program.c_str(), nullptr);
            _exit(127);
        }
        return pid;
    }

    std::vector<pid_t> StartedEditors(int atLeast = 0) const
    {
        std::vector<pid_t> pids;
        for (int wait = 0; wait < 1000; ++wait) { // 10 s at most
            pids.clear();
            std::istringstream lines(ReadFile(Install() / "started.txt"));
            for (pid_t pid; lines >> pid;) {
                pids.push_back(pid);
            }
            if (int(pids.size()) >= atLeast) {
                break;
            }
            usleep(10000);
        }
        return pids;
    }

    // Runs PixvelUpdate; its exit code, or -1 when it is still running
    // after `timeoutMs` (it is then ended).
    int RunProgram(const QStringList& arguments, int timeoutMs = 10000)
    {
        QProcess program;
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(PIXVEL_UPDATE_PROGRAM, arguments);
        if (!program.waitForFinished(timeoutMs)) {
            program.kill();
            program.waitForFinished();
            return -1;
        }
        return program.exitCode();
    }

    // The arguments of the published update, its information read.
    std::optional<UpdateArguments> Decided(UpdateInfo& info) const
    {
        auto arguments = CUpdater::ParseArguments(Arguments());
        EXPECT_TRUE(arguments && CUpdater::NeedsUpdate(*arguments, info));
        return arguments;
    }

    std::string Registered(const char* name) const
    {
        return platform::CRegistry::Read(CUpdater::kSettingsKey, name).toStdString();
    }

    TempFolder folder_;
    CLocalHttpServer server_;
    std::string editorName_;
};

TEST_F(UpdaterFlowTest, WrongArgumentsAndEqualVersionsEndAtOnce)
{
    Publish("1.0", {"a.txt"});
    const pid_t editor = StartEditor();
    StartedEditors(1);
    const QStringList four = Arguments();
    EXPECT_EQ(RunProgram({}), 0);
    EXPECT_EQ(RunProgram(four.mid(0, 3)), 0);
    EXPECT_EQ(RunProgram(four + QStringList{"extra"}), 0);
    EXPECT_TRUE(server_.Requests().empty());

    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(RunProgram(four), 0);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(server_.Requests().size(), 1u); // the information file only
    EXPECT_EQ(kill(editor, 0), 0);            // the editor still runs
    EXPECT_EQ(Registered("VERSION"), "1.0");
}

TEST_F(UpdaterFlowTest, UpdatesStopsAndRestartsTheEditor)
{
    Publish("2.0", {"items/new.zip", "docs/readme.txt"});
    const std::string package =
        BuildZip({{{.name = "a/one.txt", .data = "one"}, {.name = "two.txt", .data = "two"}}});
    std::atomic<bool> editorGoneFirst{false};
    pid_t editor = 0;
    server_.Route("/upd/items/new.zip", [&](const HttpRequest&, CHttpConnection& connection) {
        editorGoneFirst = waitpid(editor, nullptr, WNOHANG) == editor; // ended, not reaped yet
        connection.Respond(200, {{"Content-Type", "application/zip"}}, package);
    });
    server_.Route("/upd/docs/readme.txt", Answer("read me"));
    editor = StartEditor();
    ASSERT_EQ(StartedEditors(1).size(), 1u);

    EXPECT_EQ(RunProgram(Arguments()), 0);
    EXPECT_TRUE(editorGoneFirst);
    EXPECT_EQ(ReadFile(Install() / "items/a/one.txt"), "one");
    EXPECT_EQ(ReadFile(Install() / "items/two.txt"), "two");
    EXPECT_FALSE(fs::exists(Install() / "items/new.zip"));
    EXPECT_EQ(ReadFile(Install() / "docs/readme.txt"), "read me");
    EXPECT_EQ(Registered("VERSION"), "2.0");
    EXPECT_EQ(Registered("UPDATE_DATE"), "2024-05-06");
    EXPECT_EQ(StartedEditors(2).size(), 2u); // started again
}

TEST_F(UpdaterFlowTest, AFailureKeepsTheRegistryAndTheSecondFile)
{
    Publish("2.0", {"first.txt", "second.txt"});
    WriteFile(Install() / "first.txt", "old first");
    WriteFile(Install() / "second.txt", "old second");
    server_.Route("/upd/first.txt", Answer("new first"));
    server_.Route("/upd/second.txt", [](const HttpRequest&, CHttpConnection& connection) {
        connection.Send("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n"
                        "Content-Length: 100000\r\n\r\npartial");
    });
    UpdateInfo info;
    const auto arguments = Decided(info);
    std::vector<std::string> statuses;
    std::vector<std::string> amounts;
    const CUpdater::Observer observer{
        [&](const std::string& text) { statuses.push_back(text); },
        [&](int number, int count) {
            statuses.push_back(std::to_string(number) + "/" + std::to_string(count));
        },
        [&](uint64_t received, int64_t total) {
            amounts.push_back(CUpdateInfo::AmountText(received, total));
        }};
    EXPECT_FALSE(CUpdater::Run(*arguments, info, observer));
    EXPECT_EQ(ReadFile(Install() / "first.txt"), "new first");
    EXPECT_EQ(ReadFile(Install() / "second.txt"), "old second");
    EXPECT_EQ(Registered("VERSION"), "1.0");
    EXPECT_TRUE(StartedEditors().empty());
    EXPECT_EQ(statuses, (std::vector<std::string>{"first.txt 파일을 내려받는중입니다.", "1/2",
                                                  "second.txt 파일을 내려받는중입니다.", "2/2"}));
    EXPECT_EQ(amounts.front(), "0KB");
    // The second file's length is shown before its first piece arrives.
    EXPECT_NE(std::ranges::find(amounts, "0KB/97KB"), amounts.end());
}

TEST_F(UpdaterFlowTest, APathLeavingTheInstallationFailsBeforeAnyDownload)
{
    for (const char* bad : {"../evil.txt", "/tmp/evil.txt", "ok/../../evil.txt"}) {
        Publish("2.0", {"fine.txt", bad});
        server_.Route("/upd/fine.txt", Answer("fine"));
        UpdateInfo info;
        const auto arguments = CUpdater::ParseArguments(Arguments());
        ASSERT_TRUE(CUpdater::NeedsUpdate(*arguments, info));
        EXPECT_FALSE(CUpdater::CanApply(*arguments, info)) << bad;
        EXPECT_FALSE(CUpdater::Run(*arguments, info, kQuiet));
        EXPECT_FALSE(fs::exists(Install() / "fine.txt")) << bad;
    }
    EXPECT_FALSE(fs::exists(folder_ / "evil.txt"));
    EXPECT_EQ(Registered("VERSION"), "1.0");
}

TEST_F(UpdaterFlowTest, AFileThatCannotBeWrittenFailsTheUpdate)
{
    Publish("2.0", {"locked.txt"});
    WriteFile(Install() / "locked.txt", "old");
    fs::permissions(Install() / "locked.txt", fs::perms::owner_read | fs::perms::group_read);
    server_.Route("/upd/locked.txt", Answer("new"));
    UpdateInfo info;
    const auto arguments = Decided(info);
    EXPECT_FALSE(CUpdater::Run(*arguments, info, kQuiet));
    EXPECT_EQ(ReadFile(Install() / "locked.txt"), "old");
    EXPECT_EQ(Registered("VERSION"), "1.0");
    EXPECT_TRUE(StartedEditors().empty());
}

QApplication& Application()
{
    static int argc = 1;
    static char name[] = "updater_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: destroyed at exit, it would outlive Qt's per-thread
    // font caches' storage, and the leak checker would report the caches.
    static auto* application = new QApplication(argc, argv);
    return *application;
}

TEST_F(UpdaterFlowTest, AnErrorPageReplacesNoProgramFile)
{
    Publish("2.0", {"Pixvel"});
    WriteFile(Install() / "Pixvel", "installed program");
    server_.Route("/upd/Pixvel", [](const HttpRequest&, CHttpConnection& connection) {
        connection.Respond(404, {{"Content-Type", "text/html"}}, "<h1>Not Found</h1>");
    });
    UpdateInfo info;
    const auto arguments = Decided(info);
    EXPECT_FALSE(CUpdater::CanApply(*arguments, info));
    EXPECT_FALSE(CUpdater::Run(*arguments, info, kQuiet));
    EXPECT_EQ(ReadFile(Install() / "Pixvel"), "installed program");
    EXPECT_EQ(Registered("VERSION"), "1.0");
    EXPECT_TRUE(StartedEditors().empty());
}

TEST_F(UpdaterFlowTest, AnUpdateThatCannotBeAppliedStopsNothing)
{
    Application();
    Publish("2.0", {"fine.txt", "locked.txt"});
    server_.Route("/upd/fine.txt", Answer("fine"));
    server_.Route("/upd/locked.txt", Answer("new"));
    WriteFile(Install() / "locked.txt", "old");
    fs::permissions(Install() / "locked.txt", fs::perms::owner_read);
    const pid_t editor = StartEditor();
    ASSERT_EQ(StartedEditors(1).size(), 1u);

    const auto arguments = CUpdater::ParseArguments(Arguments());
    CUpdateDialog dialog(*arguments);
    ASSERT_TRUE(dialog.Prepare()); // the window shows the failure
    EXPECT_EQ(dialog.StatusText(), CUpdater::kFailed);
    EXPECT_TRUE(dialog.CloseEnabled());
    EXPECT_EQ(kill(editor, 0), 0); // still running
    EXPECT_EQ(waitpid(editor, nullptr, WNOHANG), 0);
    QApplication::processEvents(QEventLoop::AllEvents, 300);
    EXPECT_FALSE(dialog.WorkerRunning());
    EXPECT_FALSE(fs::exists(Install() / "fine.txt"));
    EXPECT_EQ(Registered("VERSION"), "1.0");

    // A read-only folder or a path that is not text blocks the update too.
    fs::permissions(Install() / "locked.txt", fs::perms::owner_all);
    UpdateInfo info;
    ASSERT_TRUE(CUpdater::NeedsUpdate(*arguments, info));
    EXPECT_TRUE(CUpdater::CanApply(*arguments, info));
    fs::create_directories(Install() / "sub");
    fs::permissions(Install() / "sub", fs::perms::owner_read | fs::perms::owner_exec);
    info.paths = {"sub/new.txt"};
    EXPECT_FALSE(CUpdater::CanApply(*arguments, info));
    info.paths = {"\xff\xfe.txt"};
    EXPECT_FALSE(CUpdater::CanApply(*arguments, info));
}

TEST_F(UpdaterFlowTest, PathsWithBlanksAndKoreanNamesArrive)
{
    // "하트.png" as a Korean system writes it (code page 949), and as UTF-8.
    Publish("2.0", {"items/a b.png", "\xc7\xcf\xc6\xae.png", "별.png"});
    server_.Route("/upd/items/a%20b.png", Answer("blank"));
    server_.Route("/upd/%C7%CF%C6%AE.png", Answer("heart"));
    server_.Route("/upd/%EB%B3%84.png", Answer("star"));
    UpdateInfo info;
    const auto arguments = Decided(info);
    ASSERT_TRUE(CUpdater::CanApply(*arguments, info));
    EXPECT_TRUE(CUpdater::Run(*arguments, info, kQuiet));
    EXPECT_EQ(ReadFile(Install() / "items/a b.png"), "blank");
    EXPECT_EQ(ReadFile(Install() / "하트.png"), "heart");
    EXPECT_EQ(ReadFile(Install() / "별.png"), "star");
    EXPECT_EQ(Registered("VERSION"), "2.0");
}

TEST_F(UpdaterFlowTest, ATricklingInformationFileGivesUpAfterThirtySeconds)
{
    server_.Route("/info.txt", [](const HttpRequest&, CHttpConnection& connection) {
        // 4 bytes a second: the stall rule alone would wait a minute.
        connection.Trickle(0, 2, std::chrono::milliseconds(500), std::chrono::seconds(50));
    });
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(RunProgram(Arguments(), 60000), 0);
    EXPECT_GE(clock.elapsed(), 29000);
    EXPECT_LT(clock.elapsed(), 40000);
    EXPECT_EQ(Registered("VERSION"), "1.0");
}

TEST_F(UpdaterFlowTest, EndedBySignalTheUpdaterLeavesNoPartialFile)
{
    Publish("2.0", {"big.bin"});
    server_.Route("/upd/big.bin", [](const HttpRequest&, CHttpConnection& connection) {
        connection.Trickle(100000000, 4096, std::chrono::milliseconds(50),
                           std::chrono::seconds(20));
    });
    for (int signal : {SIGTERM, SIGINT}) {
        QProcess program;
        program.start(PIXVEL_UPDATE_PROGRAM, Arguments());
        bool partial = false;
        for (int wait = 0; wait < 1000 && !partial; ++wait) {
            usleep(10000);
            for (const auto& item : fs::directory_iterator(Install())) {
                partial = partial || item.path().filename().string().ends_with(".part");
            }
        }
        ASSERT_TRUE(partial);
        kill(pid_t(program.processId()), signal);
        ASSERT_TRUE(program.waitForFinished(10000));
        EXPECT_EQ(program.exitStatus(), QProcess::CrashExit); // ended by the signal
        for (const auto& item : fs::directory_iterator(Install())) {
            EXPECT_FALSE(item.path().filename().string().ends_with(".part")) << item.path();
        }
    }
    EXPECT_EQ(Registered("VERSION"), "1.0");
}

TEST_F(UpdaterFlowTest, TheWindowShowsTheFailureAndWaitsForClose)
{
    Application();

    Publish("2.0", {"broken.zip"});
    server_.Route("/upd/broken.zip", Answer("this is no package"));
    const auto arguments = CUpdater::ParseArguments(Arguments());
    CUpdateDialog dialog(*arguments);
    ASSERT_TRUE(dialog.Prepare());
    EXPECT_EQ(dialog.StatusText(), CUpdater::kStarting);
    dialog.show();
    QElapsedTimer clock;
    clock.start();
    while (dialog.StatusText() != CUpdater::kFailed && clock.elapsed() < 10000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_EQ(dialog.StatusText(), CUpdater::kFailed);
    EXPECT_TRUE(dialog.CloseEnabled());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.CounterText(), "1/1");
    EXPECT_FALSE(fs::exists(Install() / "broken.zip"));
    EXPECT_EQ(Registered("VERSION"), "1.0");
}

} // namespace
