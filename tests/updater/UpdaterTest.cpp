#include "../transfer/TempFolder.h"
#include "../transfer/ZipBuilder.h"
#include "CFileDigest.h"
#include "CFileException.h"
#include "CLocalHttpServer.h"
#include "CMinisign.h"
#include "CRegistry.h"
#include "CUpdateDialog.h"
#include "CUpdateStaging.h"
#include "CUpdater.h"
#include "Publisher.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <map>
#include <sys/stat.h>
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

TEST(UpdateInfoTest, EachPathTakesTheHashOnTheNextLine)
{
    const std::string hash(64, 'a');
    const std::string upper = "0123456789ABCDEF0123456789abcdef0123456789ABCDEF0123456789abcdef";
    const std::string text = "VERSION:2\r\nUPDATE_DATE:d\r\nUPDATE_URL:u\r\n"
                             "UPDATE_PATH:one\r\nUPDATE_SHA256:" +
                             hash +
                             "\r\n"
                             "UPDATE_PATH:two\r\n"
                             "UPDATE_PATH:three\r\nx\r\nUPDATE_SHA256:" +
                             hash +
                             "\r\n"
                             "UPDATE_PATH:four\r\nUPDATE_SHA256:" +
                             hash +
                             "0\r\n"
                             "UPDATE_PATH:five\r\nUPDATE_SHA256:" +
                             upper;
    UpdateInfo info;
    ASSERT_TRUE(CUpdateInfo::Decide(text, "1", info));
    // The hash lines add no path: an older reader sees the same list.
    EXPECT_EQ(info.paths, (std::vector<std::string>{"one", "two", "three", "four", "five"}));
    EXPECT_EQ(info.hashes, (std::vector<std::string>{hash, "", "", "", upper}));
}

TEST(UpdateInfoTest, AmountTextAndPosition)
{
    EXPECT_EQ(CUpdateInfo::AmountText(1536000, 3072000), "1,500KB/3,000KB");
    EXPECT_EQ(CUpdateInfo::ProgressPosition(1536000, 3072000), 50);
    EXPECT_EQ(CUpdateInfo::AmountText(1264000000ULL, 0), "1,234,375KB");
    EXPECT_EQ(CUpdateInfo::ProgressPosition(1536000, 0), 0);
}

// `signature` with the key id of `other`'s signature line.
std::string WithKeyId(std::string signature, const std::string& other)
{
    const auto line = [](const std::string& file) {
        const size_t start = file.find('\n') + 1;
        return std::pair(start, file.find('\n', start) - start);
    };
    const auto decode = [](std::string_view text) {
        std::vector<unsigned char> bytes(74);
        size_t length = 0;
        sodium_base642bin(bytes.data(), bytes.size(), text.data(), text.size(), nullptr, &length,
                          nullptr, sodium_base64_VARIANT_ORIGINAL);
        return bytes;
    };
    const auto [start, size] = line(signature);
    const auto [otherStart, otherSize] = line(other);
    std::vector<unsigned char> bytes = decode(std::string_view(signature).substr(start, size));
    const std::vector<unsigned char> theirs =
        decode(std::string_view(other).substr(otherStart, otherSize));
    std::copy_n(theirs.begin() + 2, 8, bytes.begin() + 2);
    std::string text(sodium_base64_ENCODED_LEN(74, sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(text.data(), text.size(), bytes.data(), bytes.size(),
                      sodium_base64_VARIANT_ORIGINAL);
    text.resize(text.find('\0'));
    return signature.replace(start, size, text);
}

TEST(SignatureTest, AcceptsMinisignsSignaturesByTheKeyOnly)
{
    const CPublisher publisher;
    const CPublisher stranger;
    const auto key = CMinisign::ParseKey(publisher.KeyLine());
    ASSERT_TRUE(key.has_value());
    EXPECT_EQ(CMinisign::KeyLineOfFile(ReadFile(publisher.PublicFile())), publisher.KeyLine());
    const std::string text = "VERSION:2.0\nUPDATE_PATH:Pixvel\n";

    const std::string prehashed = publisher.Sign(text);
    EXPECT_NE(prehashed.find("\nRU"), std::string::npos) << "ED, minisign's default";
    EXPECT_EQ(CMinisign::Verify(text, prehashed, *key), SignatureCheck::Valid);
    const std::string legacy = publisher.Sign(text, true);
    EXPECT_EQ(CMinisign::Verify(text, legacy, *key), SignatureCheck::Valid);

    EXPECT_EQ(CMinisign::Verify(text + " ", prehashed, *key), SignatureCheck::Invalid);
    EXPECT_EQ(CMinisign::Verify("VERSION:2.1\nUPDATE_PATH:Pixvel\n", legacy, *key),
              SignatureCheck::Invalid);
    EXPECT_EQ(CMinisign::Verify(text, stranger.Sign(text), *key), SignatureCheck::OtherKey);
    // The trusted comment is signed too.
    std::string comment = prehashed;
    comment.insert(comment.find("\ntrusted comment: ") + 18, "x");
    EXPECT_EQ(CMinisign::Verify(text, comment, *key), SignatureCheck::Invalid);
    // Another key with the publisher's key id forges nothing.
    EXPECT_EQ(CMinisign::Verify(text, WithKeyId(stranger.Sign(text), prehashed), *key),
              SignatureCheck::Invalid);

    EXPECT_EQ(CMinisign::Verify(text, "", *key), SignatureCheck::Malformed);
    EXPECT_EQ(CMinisign::Verify(text, "<h1>Not Found</h1>", *key), SignatureCheck::Malformed);
    EXPECT_FALSE(CMinisign::ParseKey("RW" + std::string(54, 'A')).has_value());
    EXPECT_FALSE(CMinisign::ParseKey(publisher.KeyLine() + "A").has_value());
    EXPECT_FALSE(CMinisign::KeyLineOfFile("untrusted comment: nothing here\n").has_value());
}

TEST(SignatureTest, ComparesAFilesSha256)
{
    TempFolder folder;
    WriteFile(folder / "abc", "abc");
    const std::string abc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    EXPECT_TRUE(CFileDigest::MatchesSha256(folder / "abc", abc));
    std::string upper = abc;
    std::ranges::transform(upper, upper.begin(), [](char c) { return char(std::toupper(c)); });
    EXPECT_TRUE(CFileDigest::MatchesSha256(folder / "abc", upper));
    EXPECT_FALSE(CFileDigest::MatchesSha256(folder / "abc", CPublisher::Sha256("abd")));
    EXPECT_FALSE(CFileDigest::MatchesSha256(folder / "missing", abc));
    EXPECT_FALSE(CFileDigest::MatchesSha256(folder / "abc", abc.substr(1)));
}

// An installation folder, a registry with the publisher's key, a server and
// a stand-in editor whose program name is unique to the test (tests run side
// by side).
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
        platform::CRegistry::Write(CUpdater::kSettingsKey, CUpdater::kKeyName,
                                   QString::fromStdString(publisher_.KeyLine()));
    }
    ~UpdaterFlowTest() override
    {
        for (pid_t pid : Pids("started.txt")) {
            kill(pid, SIGKILL);
        }
        while (waitpid(-1, nullptr, WNOHANG) > 0) {
        }
    }

    fs::path Install() const { return folder_ / "install"; }

    // Serves a file of the update under its path (`route` when the path is
    // sent percent-encoded); the information file names its hash.
    void Serve(const std::string& path, const std::string& bytes, std::string route = {})
    {
        server_.Route("/upd/" + (route.empty() ? path : route), Answer(bytes));
        hashes_[path] = CPublisher::Sha256(bytes);
    }

    // The information file of an update, each path followed by its hash
    // when it has one.
    std::string Information(const std::string& version, const std::vector<std::string>& paths) const
    {
        std::string text = "VERSION:" + version +
                           "\nUPDATE_DATE:2024-05-06\nUPDATE_URL:" + server_.Url("/upd") + "\n";
        for (const std::string& path : paths) {
            text += "UPDATE_PATH:" + path + "\n";
            if (hashes_.contains(path)) {
                text += "UPDATE_SHA256:" + hashes_.at(path) + "\n";
            }
        }
        return text;
    }

    // Publishes the information file with the signature `signature` (the
    // publisher's over the text by default; empty: none).
    void Publish(const std::string& version, const std::vector<std::string>& paths,
                 std::optional<std::string> signature = std::nullopt)
    {
        const std::string text = Information(version, paths);
        server_.Route("/info.txt", Answer(text));
        const std::string signed_ = signature.value_or(publisher_.Sign(text));
        server_.Route("/info.txt.minisig", [signed_](const HttpRequest&, CHttpConnection& c) {
            signed_.empty() ? c.Respond(404, kText, "no such file")
                            : c.Respond(200, kText, signed_);
        });
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

    // The process ids a stand-in wrote to `file`, once there are `atLeast`
    // (10 s at most).
    std::vector<pid_t> Pids(const char* file, int atLeast = 0) const
    {
        std::vector<pid_t> pids;
        for (int wait = 0; wait < 1000; ++wait) {
            pids.clear();
            std::istringstream lines(ReadFile(Install() / file));
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
    std::vector<pid_t> StartedEditors(int atLeast = 0) const
    {
        return Pids("started.txt", atLeast);
    }

    // Runs PixvelUpdate; its exit code, or -1 when it is still running
    // after `timeoutMs` (it is then ended).
    int RunProgram(const QStringList& arguments, int timeoutMs = 10000,
                   QByteArray* errors = nullptr)
    {
        QProcess program;
        program.start(PIXVEL_UPDATE_PROGRAM, arguments);
        const bool ended = program.waitForFinished(timeoutMs);
        if (!ended) {
            program.kill();
            program.waitForFinished();
        }
        if (errors != nullptr) {
            *errors = program.readAllStandardError();
        }
        return ended ? program.exitCode() : -1;
    }

    // Runs the update window in this process as the program does; the
    // status it ends with.
    QString RunWindow()
    {
        Application();
        const auto arguments = CUpdater::ParseArguments(Arguments());
        CUpdateDialog dialog(*arguments);
        if (!dialog.Prepare()) {
            return "no update";
        }
        dialog.show();
        QElapsedTimer clock;
        clock.start();
        while (dialog.StatusText() != CUpdater::kFailed && dialog.isVisible() &&
               clock.elapsed() < 20000) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return dialog.StatusText();
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

    // Everything in the installation folder but the update lock, with its
    // bytes: the whole state an update may change.
    std::map<std::string, std::string> Contents() const
    {
        std::map<std::string, std::string> contents;
        for (const auto& item : fs::recursive_directory_iterator(Install())) {
            const std::string name = fs::relative(item.path(), Install()).string();
            if (name != ".pixvel-update.lock" && name != "started.txt") {
                contents[name] = item.is_regular_file() ? ReadFile(item.path()) : "<folder>";
            }
        }
        return contents;
    }

    TempFolder folder_;
    CLocalHttpServer server_;
    CPublisher publisher_;
    std::string editorName_;
    std::map<std::string, std::string> hashes_;
};

TEST_F(UpdaterFlowTest, WrongArgumentsNoKeyAndEqualVersionsEndAtOnce)
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

    // Without a key nothing is even looked for, whatever is published.
    Publish("2.0", {"a.txt"});
    for (const char* key : {"", "RWQnot a key"}) {
        platform::CRegistry::Write(CUpdater::kSettingsKey, CUpdater::kKeyName, key);
        QByteArray errors;
        EXPECT_EQ(RunProgram(four, 10000, &errors), 0);
        EXPECT_TRUE(errors.contains("updates need a key")) << errors.toStdString();
    }
    EXPECT_EQ(server_.Requests().size(), 1u);
    EXPECT_EQ(kill(editor, 0), 0);
    EXPECT_EQ(Registered("VERSION"), "1.0");
}

TEST_F(UpdaterFlowTest, ASignedUpdateReplacesTheRunningEditorAndRestartsIt)
{
    const std::string program = ReadFile(PIXVEL_EDITOR_STANDIN);
    const std::string package =
        BuildZip({{{.name = "a/one.txt", .data = "one"}, {.name = "two.txt", .data = "two"}}});
    Serve(editorName_, program);
    Serve("items/new.zip", package);
    Serve("docs/readme.txt", "read me");
    Publish("2.0", {editorName_, "items/new.zip", "docs/readme.txt"});
    const pid_t editor = StartEditor();
    ASSERT_EQ(StartedEditors(1).size(), 1u);
    struct stat before
    {
    };
    ASSERT_EQ(stat((Install() / editorName_).c_str(), &before), 0);

    EXPECT_EQ(RunProgram(Arguments(), 30000), 0);
    // Asked to end, it ended by itself.
    EXPECT_EQ(Pids("ended.txt", 1), std::vector<pid_t>{editor});
    EXPECT_EQ(ReadFile(Install() / "items/a/one.txt"), "one");
    EXPECT_EQ(ReadFile(Install() / "items/two.txt"), "two");
    EXPECT_FALSE(fs::exists(Install() / "items/new.zip"));
    EXPECT_EQ(ReadFile(Install() / "docs/readme.txt"), "read me");
    EXPECT_EQ(Registered("VERSION"), "2.0");
    EXPECT_EQ(Registered("UPDATE_DATE"), "2024-05-06");
    // The program was replaced while it ran, keeps its execute bits, and
    // the new one was started.
    struct stat after
    {
    };
    ASSERT_EQ(stat((Install() / editorName_).c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 0777, before.st_mode & 0777);
    const std::vector<pid_t> started = StartedEditors(2);
    ASSERT_EQ(started.size(), 2u);
    struct stat running
    {
    };
    ASSERT_EQ(stat(("/proc/" + std::to_string(started[1]) + "/exe").c_str(), &running), 0);
    EXPECT_EQ(running.st_ino, after.st_ino);
    // Nothing of the staging is left.
    for (const auto& [name, bytes] : Contents()) {
        EXPECT_FALSE(name.starts_with(".pixvel")) << name;
    }
}

TEST_F(UpdaterFlowTest, AnUpdateNotAsPublishedChangesNothing)
{
    WriteFile(Install() / "first.txt", "old first");
    const CPublisher stranger;
    const auto refused = [&](const char* what, const std::function<void()>& publish) {
        SCOPED_TRACE(what);
        hashes_.clear();
        publish();
        const auto before = Contents();
        const pid_t editor = StartEditor();
        EXPECT_EQ(RunWindow(), CUpdater::kFailed);
        EXPECT_EQ(Contents(), before);
        EXPECT_EQ(kill(editor, 0), 0) << "the editor was stopped";
        EXPECT_EQ(waitpid(editor, nullptr, WNOHANG), 0);
        kill(editor, SIGKILL);
        waitpid(editor, nullptr, 0);
        EXPECT_EQ(Registered("VERSION"), "1.0");
        EXPECT_TRUE(Registered("UPDATE_DATE").empty());
    };
    const std::vector<std::string> paths = {"first.txt", editorName_};
    const auto serveBoth = [&] {
        Serve("first.txt", "new first");
        Serve(editorName_, "#!/bin/sh\necho attacker\n");
    };
    refused("unsigned", [&] {
        serveBoth();
        Publish("2.0", paths, "");
    });
    refused("signed by another key", [&] {
        serveBoth();
        Publish("2.0", paths, stranger.Sign(Information("2.0", paths)));
    });
    refused("changed after signing", [&] {
        serveBoth();
        const std::string signature = publisher_.Sign(Information("2.0", paths));
        hashes_[editorName_] = CPublisher::Sha256("#!/bin/sh\necho other\n");
        Publish("2.0", paths, signature);
    });
    refused("a good signature padded beyond its budget", [&] {
        serveBoth();
        Publish("2.0", paths,
                publisher_.Sign(Information("2.0", paths)) +
                    std::string(CUpdater::kMaxSignatureBytes, '\n'));
    });
    refused("a file that is not the one its hash names", [&] {
        serveBoth();
        hashes_["first.txt"] = CPublisher::Sha256("something else");
        Publish("2.0", paths);
    });
    refused("a path without its hash", [&] {
        serveBoth();
        hashes_.erase(editorName_);
        Publish("2.0", paths);
    });
    refused("a package that is no package", [&] {
        Serve("broken.zip", "this is no package");
        Publish("2.0", {"broken.zip"});
    });
}

TEST_F(UpdaterFlowTest, TheFilesMoveIntoPlaceOnlyOnceAllArrived)
{
    Publish("2.0", {"first.txt", "second.txt"});
    WriteFile(Install() / "first.txt", "old first");
    WriteFile(Install() / "second.txt", "old second");
    Serve("first.txt", "new first");
    hashes_["second.txt"] = CPublisher::Sha256("complete second");
    server_.Route("/upd/second.txt", [](const HttpRequest&, CHttpConnection& connection) {
        connection.Send("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n"
                        "Content-Length: 100000\r\n\r\npartial");
    });
    Publish("2.0", {"first.txt", "second.txt"});
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
    EXPECT_EQ(ReadFile(Install() / "first.txt"), "old first");
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
        Serve("fine.txt", "fine");
        hashes_[bad] = CPublisher::Sha256("evil");
        Publish("2.0", {"fine.txt", bad});
        UpdateInfo info;
        const auto arguments = Decided(info);
        const auto key = CUpdater::TrustedKey();
        ASSERT_TRUE(key.has_value());
        EXPECT_FALSE(CUpdater::CanApply(*arguments, info, *key)) << bad;
        EXPECT_FALSE(CUpdater::Run(*arguments, info, kQuiet));
        EXPECT_FALSE(fs::exists(Install() / "fine.txt")) << bad;
    }
    EXPECT_FALSE(fs::exists(folder_ / "evil.txt"));
    EXPECT_EQ(Registered("VERSION"), "1.0");
}

TEST_F(UpdaterFlowTest, AReadOnlyFileOrFolderFailsTheUpdateBeforeTheEditorStops)
{
    WriteFile(Install() / "fine.txt", "old fine");
    WriteFile(Install() / "locked.txt", "old");
    fs::permissions(Install() / "locked.txt", fs::perms::owner_read | fs::perms::group_read);
    Serve("fine.txt", "fine");
    Serve("locked.txt", "new");
    Serve("sub/new.txt", "new");
    Publish("2.0", {"fine.txt", "locked.txt"});
    const pid_t editor = StartEditor();
    ASSERT_EQ(StartedEditors(1).size(), 1u);
    UpdateInfo info;
    auto arguments = Decided(info);
    EXPECT_FALSE(CUpdater::Run(*arguments, info, kQuiet));
    EXPECT_EQ(ReadFile(Install() / "fine.txt"), "old fine");
    EXPECT_EQ(ReadFile(Install() / "locked.txt"), "old");
    EXPECT_EQ(waitpid(editor, nullptr, WNOHANG), 0); // still running

    fs::create_directories(Install() / "sub");
    fs::permissions(Install() / "sub", fs::perms::owner_read | fs::perms::owner_exec);
    Publish("2.0", {"sub/new.txt"});
    arguments = Decided(info);
    EXPECT_FALSE(CUpdater::Run(*arguments, info, kQuiet));
    EXPECT_FALSE(fs::exists(Install() / "sub/new.txt"));
    EXPECT_EQ(waitpid(editor, nullptr, WNOHANG), 0);
    EXPECT_EQ(Registered("VERSION"), "1.0");

    // A path that is not text is refused before anything is fetched.
    const auto key = CUpdater::TrustedKey();
    info.paths = {"\xff\xfe.txt"};
    EXPECT_FALSE(CUpdater::CanApply(*arguments, info, *key));
}

TEST_F(UpdaterFlowTest, PathsWithBlanksAndKoreanNamesArrive)
{
    // "하트.png" as a Korean system writes it (code page 949), and as UTF-8.
    Serve("items/a b.png", "blank", "items/a%20b.png");
    Serve("\xc7\xcf\xc6\xae.png", "heart", "%C7%CF%C6%AE.png");
    Serve("별.png", "star", "%EB%B3%84.png");
    Publish("2.0", {"items/a b.png", "\xc7\xcf\xc6\xae.png", "별.png"});
    UpdateInfo info;
    const auto arguments = Decided(info);
    ASSERT_TRUE(CUpdater::CanApply(*arguments, info, *CUpdater::TrustedKey()));
    EXPECT_TRUE(CUpdater::Run(*arguments, info, kQuiet));
    EXPECT_EQ(ReadFile(Install() / "items/a b.png"), "blank");
    EXPECT_EQ(ReadFile(Install() / "하트.png"), "heart");
    EXPECT_EQ(ReadFile(Install() / "별.png"), "star");
    EXPECT_EQ(Registered("VERSION"), "2.0");
    EXPECT_EQ(StartedEditors(1).size(), 1u); // restarted, ended with the test
}

TEST_F(UpdaterFlowTest, AFailedMovePutsBackWhatMovedBefore)
{
    WriteFile(Install() / "a.txt", "old a");
    WriteFile(Install() / "b.txt", "old b");
    fs::create_directories(Install() / "zz");
    CUpdateStaging staging(Install());
    for (const char* name : {"a.txt", "b.txt", "new.txt", "zz/c.txt"}) {
        WriteFile(staging.Files() / name, std::string("new ") + name);
    }
    const auto before = Contents();
    // The last move meets a file where its folder was.
    const bool moved = staging.Commit([this] {
        fs::remove(Install() / "zz");
        WriteFile(Install() / "zz", "in the way");
    });
    EXPECT_FALSE(moved);
    auto expected = before;
    expected["zz"] = "in the way";
    auto now = Contents();
    std::erase_if(now,
                  [](const auto& entry) { return entry.first.starts_with(".pixvel-update-"); });
    std::erase_if(expected,
                  [](const auto& entry) { return entry.first.starts_with(".pixvel-update-"); });
    EXPECT_EQ(now, expected);
    // One update at a time.
    EXPECT_THROW(CUpdateStaging{Install()}, CFileException);
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
    hashes_["big.bin"] = std::string(64, '0');
    server_.Route("/upd/big.bin", [](const HttpRequest&, CHttpConnection& connection) {
        connection.Trickle(100000000, 4096, std::chrono::milliseconds(50),
                           std::chrono::seconds(20));
    });
    Publish("2.0", {"big.bin"});
    const auto partials = [this] {
        int found = 0;
        for (const auto& item : fs::recursive_directory_iterator(Install())) {
            found += item.path().filename().string().ends_with(".part") ? 1 : 0;
        }
        return found;
    };
    for (int signal : {SIGTERM, SIGINT}) {
        QProcess program;
        program.start(PIXVEL_UPDATE_PROGRAM, Arguments());
        for (int wait = 0; wait < 1000 && partials() == 0; ++wait) {
            usleep(10000);
        }
        ASSERT_EQ(partials(), 1);
        kill(pid_t(program.processId()), signal);
        ASSERT_TRUE(program.waitForFinished(10000));
        EXPECT_EQ(program.exitStatus(), QProcess::CrashExit); // ended by the signal
        EXPECT_EQ(partials(), 0);
    }
    EXPECT_EQ(Registered("VERSION"), "1.0");
}

TEST_F(UpdaterFlowTest, TheWindowShowsTheFailureAndWaitsForClose)
{
    Application();
    Serve("broken.zip", "this is no package");
    Publish("2.0", {"broken.zip"});
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
