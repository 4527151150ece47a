#include "CDownloadEngine.h"
#include "CHttpStatusException.h"
#include "CInternetException.h"
#include "CLocalHttpServer.h"
#include "CPartialFiles.h"
#include "TempFolder.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <span>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using Headers = std::vector<std::pair<std::string, std::string>>;

namespace {

const Headers kText = {{"Content-Type", "text/plain"}};

CLocalHttpServer::Handler Answer(int status, Headers headers, std::string body)
{
    return [=](const HttpRequest&, CHttpConnection& connection) {
        connection.Respond(status, headers, body);
    };
}

CLocalHttpServer::Handler RedirectTo(std::string location, int status = 302)
{
    return Answer(status, {{"Location", location}, {"Content-Type", "text/html"}}, "moved");
}

struct Progress
{
    std::vector<std::pair<uint64_t, int64_t>> calls;
    CDownloadEngine::ProgressHook Hook()
    {
        return [this](uint64_t received, int64_t total) { calls.emplace_back(received, total); };
    }
};

class DownloadEngineTest : public ::testing::Test
{
protected:
    DownloadResult Download(const std::string& path, const std::string& name,
                            const TransferLimits& limits = {})
    {
        return CDownloadEngine::DownloadToFile(server_.Url(path), (folder_ / name).string(),
                                               progress_.Hook(), {}, limits);
    }

    // Names in the test folder: no temporary file may stay behind.
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& item : fs::directory_iterator(folder_.Path())) {
            names.push_back(item.path().filename().string());
        }
        return names;
    }

    CLocalHttpServer server_;
    TempFolder folder_;
    Progress progress_;
};

TEST(RedirectTargetTest, MakesLocationsAbsoluteTheWayTheServersExpect)
{
    EXPECT_EQ(CDownloadEngine::RedirectTarget("/pkg/a.zip", "http://h/x"), "http://h//pkg/a.zip");
    EXPECT_EQ(CDownloadEngine::RedirectTarget("pkg/a.zip", "https://h/x"), "https://h/pkg/a.zip");
    EXPECT_EQ(CDownloadEngine::RedirectTarget("a", "http://h:8080/x"), "http://h:8080/a");
    EXPECT_EQ(CDownloadEngine::RedirectTarget("https://other/b", "http://h/x"), "https://other/b");
    for (const char* refused : {"", "file:///etc/passwd", "ftp://h/a.zip", "FILE:/x", "httpx://h/a",
                                "javascript:alert(1)"}) {
        EXPECT_THROW(CDownloadEngine::RedirectTarget(refused, "http://h/x"), CInternetException)
            << refused;
    }
    // An encrypted connection is never left for a plain one.
    EXPECT_EQ(CDownloadEngine::RedirectTarget("https://other/b", "https://h/x"), "https://other/b");
    EXPECT_EQ(CDownloadEngine::RedirectTarget("b", "https://h/x"), "https://h/b");
    EXPECT_THROW(CDownloadEngine::RedirectTarget("http://other/b", "https://h/x"),
                 CInternetException);
    EXPECT_THROW(CDownloadEngine::RedirectTarget("http://h/x", "HTTPS://h/x"), CInternetException);
}

TEST_F(DownloadEngineTest, FollowsRelativeAndAbsoluteRedirectsWithTheHeaderBlock)
{
    CLocalHttpServer other;
    other.Route("/final", Answer(200, kText, "arrived"));
    server_.Route("/start", RedirectTo("/middle", 301));
    server_.Route("//middle",
                  RedirectTo("http://localhost:" + std::to_string(other.Port()) + "/final", 303));
    EXPECT_EQ(Download("/start", "a.txt"), DownloadResult::Written);
    EXPECT_EQ(ReadFile(folder_ / "a.txt"), "arrived");

    const std::vector<HttpRequest> first = server_.Requests();
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[1].path, "//middle");
    EXPECT_EQ(first[0].headers.at("host"), "127.0.0.1");
    EXPECT_EQ(first[0].headers.at("user-agent"),
              "Mozilla/4.0 (compatible; MSIE 5.5; Windows NT 5.0; YComp 5.0.0.0; .NET CLR "
              "1.0.3705)");
    ASSERT_EQ(other.Requests().size(), 1u);
    EXPECT_EQ(other.Requests()[0].headers.at("host"), "localhost");
}

TEST_F(DownloadEngineTest, RedirectLoopsEmptyLocationsAndOtherSchemesFail)
{
    server_.Route("/loop", RedirectTo(server_.Url("/loop")));
    server_.Route("/empty", Answer(302, kText, ""));
    server_.Route("/file", RedirectTo("file:///etc/passwd"));
    WriteFile(folder_ / "a.txt", "old");
    for (const char* path : {"/loop", "/empty", "/file"}) {
        EXPECT_THROW(Download(path, "a.txt"), CInternetException) << path;
    }
    EXPECT_EQ(server_.Requests().size(), size_t(CDownloadEngine::kMaxRedirects + 1 + 2));
    EXPECT_EQ(ReadFile(folder_ / "a.txt"), "old");
    EXPECT_EQ(Names(), std::vector<std::string>{"a.txt"});
}

TEST_F(DownloadEngineTest, AnErrorPageFailsAndReplacesNothing)
{
    server_.Route("/bare", Answer(200, {}, "no type"));
    server_.Route("/gone", Answer(404, {{"Content-Type", "text/html"}}, "<h1>Not Found</h1>"));
    server_.Route("/broken", Answer(500, {{"Content-Type", "text/html"}}, "<h1>Error</h1>"));
    server_.Route("/to-gone", RedirectTo("/gone"));
    WriteFile(folder_ / "program", "installed program");
    EXPECT_EQ(Download("/bare", "program"), DownloadResult::NoContentType);
    for (const char* path : {"/gone", "/broken", "/to-gone", "/unrouted"}) {
        EXPECT_THROW(Download(path, "program"), CHttpStatusException) << path;
    }
    try {
        Download("/broken", "program");
    } catch (const CHttpStatusException& error) {
        EXPECT_EQ(error.Status(), 500u);
    }
    EXPECT_EQ(ReadFile(folder_ / "program"), "installed program");
    EXPECT_EQ(Names(), std::vector<std::string>{"program"});
    EXPECT_EQ(CDownloadEngine::FetchText(server_.Url("/gone")), "");

    // Only on request does any answer with a Content-Type count.
    EXPECT_EQ(Download("/gone", "page.html", {.acceptAnyStatus = true}), DownloadResult::Written);
    EXPECT_EQ(ReadFile(folder_ / "page.html"), "<h1>Not Found</h1>");
}

TEST_F(DownloadEngineTest, BlanksAndEightBitPathsAreSentPercentEncoded)
{
    EXPECT_EQ(CHttpSession::EncodeUrl("http://h/a b/c%20d.png?q=x y#f g"),
              "http://h/a%20b/c%20d.png?q=x%20y#f%20g");
    EXPECT_EQ(CHttpSession::EncodeUrl("http://h:8/%zz%4/\x01\"<>|"),
              "http://h:8/%25zz%254/%01%22%3C%3E%7C");
    EXPECT_EQ(CHttpSession::EncodeUrl("http://h/\xc7\xcf%C6%AE"), "http://h/%C7%CF%C6%AE");
    EXPECT_EQ(CHttpSession::EncodeUrl("http://h"), "http://h");

    server_.Route("/items/a%20b.png", Answer(200, kText, "blank"));
    server_.Route("/%ED%95%98%ED%8A%B8.png", Answer(200, kText, "korean"));
    EXPECT_EQ(Download("/items/a b.png", "a b.png"), DownloadResult::Written);
    EXPECT_EQ(ReadFile(folder_ / "a b.png"), "blank");
    EXPECT_EQ(Download("/하트.png", "하트.png"), DownloadResult::Written);
    EXPECT_EQ(ReadFile(folder_ / "하트.png"), "korean");
}

TEST_F(DownloadEngineTest, StreamsABodyEndingOnABlockBoundaryWithProgress)
{
    const std::string body = NoiseBytes(3 * 4096 + 256 * 1024);
    const std::string exact = NoiseBytes(3 * 4096, 7);
    server_.Route("/body", Answer(200, {{"Content-Type", "application/zip"}}, body));
    server_.Route("/exact", Answer(200, kText, exact));
    ASSERT_EQ(Download("/body", "deep\\er/body.bin"), DownloadResult::Written);
    EXPECT_EQ(ReadFile(folder_ / "deep/er/body.bin"), body);
    ASSERT_GT(progress_.calls.size(), 1u);
    EXPECT_EQ(progress_.calls.front(), (std::pair<uint64_t, int64_t>(0, body.size())));
    uint64_t previous = 0;
    for (const auto& [received, total] : std::span(progress_.calls).subspan(1)) {
        EXPECT_GT(received, previous);
        EXPECT_EQ(total, int64_t(body.size()));
        previous = received;
    }
    EXPECT_EQ(previous, body.size());

    progress_.calls.clear();
    ASSERT_EQ(Download("/exact", "exact.bin"), DownloadResult::Written);
    EXPECT_EQ(ReadFile(folder_ / "exact.bin"), exact);
    EXPECT_EQ(progress_.calls.back(), (std::pair<uint64_t, int64_t>(exact.size(), exact.size())));
}

TEST_F(DownloadEngineTest, UnknownContentLengthGivesATotalOfZero)
{
    server_.Route("/missing", [](const HttpRequest&, CHttpConnection& connection) {
        connection.Respond(200, kText, "no length given", false);
    });
    server_.Route("/garbage", [](const HttpRequest&, CHttpConnection& connection) {
        connection.Respond(200, {{"Content-Type", "text/plain"}, {"Content-Length", "lots"}}, "abc",
                           false);
    });
    ASSERT_EQ(Download("/missing", "m.txt"), DownloadResult::Written);
    EXPECT_EQ(ReadFile(folder_ / "m.txt"), "no length given");
    EXPECT_EQ(progress_.calls.back(), (std::pair<uint64_t, int64_t>(15, 0)));
    server_.Route("/zero", Answer(200, kText, ""));
    ASSERT_EQ(Download("/zero", "z.txt"), DownloadResult::Written);
    EXPECT_EQ(ReadFile(folder_ / "z.txt"), "");
    // libcurl takes a malformed length for a broken answer.
    EXPECT_THROW(Download("/garbage", "g.txt"), CInternetException);
    EXPECT_EQ(CHttpSession::ParseContentLength("abc"), 0);
    EXPECT_EQ(CHttpSession::ParseContentLength("-5"), 0);
    EXPECT_EQ(CHttpSession::ParseContentLength(" 12x"), 12);
    EXPECT_EQ(CHttpSession::ParseContentLength("99999999999999999999999"), 0);
}

TEST_F(DownloadEngineTest, ABrokenTransferLeavesTheOldFileIntact)
{
    server_.Route("/cut", [](const HttpRequest&, CHttpConnection& connection) {
        connection.Send("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n"
                        "Content-Length: 100000\r\n\r\n");
        connection.Send(std::string(50000, 'x'));
    });
    server_.Route("/stall", [](const HttpRequest&, CHttpConnection& connection) {
        connection.Send("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n"
                        "Content-Length: 100000\r\n\r\nabc");
        connection.Pause(std::chrono::seconds(20));
    });
    WriteFile(folder_ / "a.txt", "old");
    EXPECT_THROW(Download("/cut", "a.txt"), CInternetException);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(Download("/stall", "a.txt", {.connectSeconds = 5, .stallSeconds = 1}),
                 CInternetException);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(ReadFile(folder_ / "a.txt"), "old");
    EXPECT_EQ(Names(), std::vector<std::string>{"a.txt"});

    EXPECT_THROW(
        CDownloadEngine::DownloadToFile("http://127.0.0.1:1/x", (folder_ / "a.txt").string(), {}),
        CInternetException);
}

// Sends `bytes` bytes every `every` after the headers, for up to 30 s.
CLocalHttpServer::Handler Trickle(size_t bytes, std::chrono::milliseconds every)
{
    return [=](const HttpRequest&, CHttpConnection& connection) {
        connection.Trickle(100000, bytes, every);
    };
}

TEST_F(DownloadEngineTest, ATricklingServerIsAStallAndTotalTimeIsLimited)
{
    EXPECT_EQ(TransferLimits{}.minBytesPerSecond, 1024);
    EXPECT_EQ(TransferLimits{}.stallSeconds, 60);
    server_.Route("/trickle", Trickle(2, std::chrono::milliseconds(100))); // 20 bytes/s
    server_.Route("/steady", Trickle(4096, std::chrono::milliseconds(100)));
    WriteFile(folder_ / "a.txt", "old");
    auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(Download("/trickle", "a.txt", {.stallSeconds = 2}), CInternetException);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6));
    // Fast enough for the stall rule, but the whole transfer has 2 s.
    start = std::chrono::steady_clock::now();
    EXPECT_THROW(CDownloadEngine::ReadText(server_.Url("/steady"), {.totalSeconds = 2}),
                 CInternetException);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6));
    EXPECT_EQ(ReadFile(folder_ / "a.txt"), "old");
    EXPECT_EQ(Names(), std::vector<std::string>{"a.txt"});
}

TEST_F(DownloadEngineTest, TheProgressHookCanEndATransferWhileNoByteArrives)
{
    server_.Route("/silent", [](const HttpRequest&, CHttpConnection& connection) {
        connection.Send("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n"
                        "Content-Length: 100\r\n\r\nfirst");
        connection.Pause(std::chrono::seconds(30));
    });
    struct Stopped
    {
        uint64_t received;
    };
    WriteFile(folder_ / "a.txt", "old");
    const auto start = std::chrono::steady_clock::now();
    int calls = 0;
    const auto stopOnThirdCall = [&calls](uint64_t received, int64_t) {
        if (++calls == 3) {
            throw Stopped{received};
        }
    };
    try {
        CDownloadEngine::DownloadToFile(server_.Url("/silent"), (folder_ / "a.txt").string(),
                                        stopOnThirdCall);
        ADD_FAILURE() << "the transfer was not stopped";
    } catch (const Stopped& stopped) {
        EXPECT_EQ(stopped.received, 5u); // the same figures while silent
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(ReadFile(folder_ / "a.txt"), "old");
    EXPECT_EQ(Names(), std::vector<std::string>{"a.txt"});
}

TEST_F(DownloadEngineTest, PartialFilesGoWithTheProgramAndStaleOnesWithTheNextTransfer)
{
    // Another run's partial files: one from two days ago, one fresh.
    WriteFile(folder_ / ".pixvel-1-0.part", "stale");
    WriteFile(folder_ / ".pixvel-1-1.part", "fresh");
    WriteFile(folder_ / "pixvel-1-2.part", "not ours");
    const auto twoDaysAgo = fs::file_time_type::clock::now() - std::chrono::hours(48);
    fs::last_write_time(folder_ / ".pixvel-1-0.part", twoDaysAgo);
    fs::last_write_time(folder_ / "pixvel-1-2.part", twoDaysAgo);

    // A transfer that is still running when the program closes.
    server_.Route("/slow", Trickle(1000, std::chrono::milliseconds(100)));
    std::thread transfer([this] { EXPECT_ANY_THROW(Download("/slow", "a.txt")); });
    auto hasPartialOfOurs = [this] {
        const std::vector<std::string> names = Names();
        return std::ranges::any_of(names, [](const std::string& name) {
            return name.starts_with(".pixvel-" + std::to_string(getpid()) + "-");
        });
    };
    for (int wait = 0; wait < 500 && !hasPartialOfOurs(); ++wait) {
        usleep(10000);
    }
    EXPECT_TRUE(hasPartialOfOurs());
    CPartialFiles::RemoveAll();
    EXPECT_FALSE(hasPartialOfOurs());
    server_.Stop(); // ends the transfer
    transfer.join();

    std::vector<std::string> names = Names();
    std::ranges::sort(names);
    EXPECT_EQ(names, (std::vector<std::string>{".pixvel-1-1.part", "pixvel-1-2.part"}));
}

TEST_F(DownloadEngineTest, AReadOnlyTargetIsNotReplaced)
{
    server_.Route("/a", Answer(200, kText, "new"));
    WriteFile(folder_ / "a.txt", "old");
    fs::permissions(folder_ / "a.txt", fs::perms::owner_read);
    EXPECT_EQ(Download("/a", "a.txt"), DownloadResult::NotWritable);
    EXPECT_EQ(ReadFile(folder_ / "a.txt"), "old");

    // An existing file keeps its permission bits when it is replaced.
    fs::permissions(folder_ / "a.txt", fs::perms(0755));
    EXPECT_EQ(Download("/a", "a.txt"), DownloadResult::Written);
    EXPECT_EQ(fs::status(folder_ / "a.txt").permissions(), fs::perms(0755));
}

TEST_F(DownloadEngineTest, PackagesAreHandedToTheUnpackStepAndDeleted)
{
    server_.Route("/p", Answer(200, kText, "PK"));
    std::vector<std::string> unpacked;
    const auto unpack = [&unpacked](const std::string& path) {
        unpacked.push_back(ReadFile(path));
    };
    for (const char* name : {"a.Zip", "b.ZIP", "c.zipx", "noextension"}) {
        CDownloadEngine::DownloadToFile(server_.Url("/p"), (folder_ / name).string(), {}, unpack);
    }
    EXPECT_EQ(unpacked.size(), 2u);
    std::vector<std::string> names = Names();
    std::ranges::sort(names);
    EXPECT_EQ(names, (std::vector<std::string>{"c.zipx", "noextension"}));
}

TEST_F(DownloadEngineTest, FetchesTextWithCrLfLineEnds)
{
    server_.Route("/info", Answer(200, kText, "VERSION=1\r\nA=b\nlast"));
    server_.Route("/bare", Answer(200, {}, "VERSION=1\n"));
    EXPECT_EQ(CDownloadEngine::FetchText(server_.Url("/info")), "VERSION=1\r\nA=b\r\nlast\r\n");
    EXPECT_EQ(CDownloadEngine::FetchText(server_.Url("/bare")), "");
    EXPECT_EQ(CDownloadEngine::FetchText("http://127.0.0.1:1/info"), "");
    EXPECT_THROW(CDownloadEngine::ReadText("http://127.0.0.1:1/info"), CInternetException);
    EXPECT_THROW(CDownloadEngine::ReadText("file:///etc/passwd"), CInternetException);
}

// The HTTPS server of data/tls-server.py, with a self-signed certificate.
class CTlsServer
{
public:
    CTlsServer()
    {
        int pipeEnds[2];
        EXPECT_EQ(pipe(pipeEnds), 0);
        pid_ = fork();
        if (pid_ == 0) {
            dup2(pipeEnds[1], STDOUT_FILENO);
            execlp("python3", "python3", PIXVEL_TEST_DATA "/tls-server.py",
                   PIXVEL_TEST_DATA "/self-signed.crt", PIXVEL_TEST_DATA "/self-signed.key",
                   nullptr);
            _exit(127);
        }
        close(pipeEnds[1]);
        FILE* output = fdopen(pipeEnds[0], "r");
        char line[32] = {};
        if (std::fgets(line, sizeof line, output) != nullptr) {
            url_ = "https://127.0.0.1:" + std::string(line, std::strcspn(line, "\n")) + "/";
        }
        std::fclose(output);
    }
    ~CTlsServer()
    {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    const std::string& Url() const { return url_; }

private:
    pid_t pid_ = -1;
    std::string url_;
};

TEST(TlsTest, AnUntrustedCertificateIsRefused)
{
    CTlsServer server;
    ASSERT_FALSE(server.Url().empty());
    try {
        CDownloadEngine::ReadText(server.Url());
        ADD_FAILURE() << "the self-signed certificate was accepted";
    } catch (const CInternetException& error) {
        EXPECT_NE(std::string(error.what()).find("certificate"), std::string::npos) << error.what();
    }
    // The same server answers a client that trusts its certificate.
    CURL* curl = curl_easy_init();
    curl_easy_setopt(curl, CURLOPT_URL, server.Url().c_str());
    curl_easy_setopt(curl, CURLOPT_CAINFO, PIXVEL_TEST_DATA "/self-signed.crt");
    curl_easy_setopt(
        curl, CURLOPT_WRITEFUNCTION,
        +[](char*, size_t size, size_t count, void*) { return size * count; });
    EXPECT_EQ(curl_easy_perform(curl), CURLE_OK);
    curl_easy_cleanup(curl);
}

TEST(MakeFoldersTest, CreatesEveryLevelAtEitherSeparator)
{
    TempFolder folder;
    const std::string path = folder.Path().string() + "\\a\\b/c";
    EXPECT_TRUE(CDownloadEngine::MakeFolders(path));
    EXPECT_TRUE(fs::is_directory(folder / "a/b/c"));
    EXPECT_FALSE(CDownloadEngine::MakeFolders(path)); // it exists now
}

} // namespace
