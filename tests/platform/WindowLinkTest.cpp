#include "../transfer/TempFolder.h"
#include "CWindowLink.h"
#include "WindowLinkFrames.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using platform::CWindowLink;

namespace {

struct Received
{
    uint32_t dataWord;
    QByteArray bytes;
};

// A receiver in this process, with the runtime folder in a folder of the
// test's own; the senders run on other threads or in other processes while
// the test's thread runs the event loop.
class WindowLinkTest : public ::testing::Test
{
protected:
    WindowLinkTest()
    {
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "platform_tests";
            static char* argv[] = {name, nullptr};
            new QCoreApplication(argc, argv);
        }
        setenv("XDG_RUNTIME_DIR", runtime_.Path().c_str(), 1);
    }

    bool ListenAsReceiver(const QString& title)
    {
        return link_.Listen(title, [this](uint32_t word, const QByteArray& bytes) {
            received_.push_back({word, bytes});
            return long(word) * 2;
        });
    }

    // Runs the event loop until `done` holds or 10 s have passed.
    template <typename Condition> bool Spin(Condition done)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return done();
    }

    // Runs the peer program to its end while this thread keeps receiving.
    int RunPeer(const QStringList& arguments, QString* output = nullptr,
                const QString& program = PIXVEL_WINDOW_LINK_PEER)
    {
        QProcess peer;
        peer.start(program, arguments);
        Spin([&peer] { return peer.state() == QProcess::NotRunning; });
        if (output != nullptr) {
            *output = QString::fromUtf8(peer.readAllStandardOutput()).trimmed();
        }
        return peer.exitStatus() == QProcess::NormalExit ? peer.exitCode() : -1;
    }

    // Runs `send` on another thread while this one keeps receiving.
    template <typename Sender> void OnOtherThread(Sender send)
    {
        std::atomic<bool> finished{false};
        std::thread sender([&] {
            send();
            finished = true;
        });
        Spin([&] { return finished.load(); });
        sender.join();
    }

    TempFolder runtime_;
    CWindowLink link_;
    std::vector<Received> received_;
};

TEST_F(WindowLinkTest, SendsAcrossProcessesAndReturnsTheResult)
{
    ASSERT_TRUE(ListenAsReceiver("PixvelDownloader"));
    const struct stat folder = [] {
        struct stat info;
        stat(QFile::encodeName(CWindowLink::RuntimeFolder()).constData(), &info);
        return info;
    }();
    EXPECT_EQ(folder.st_mode & 0777, 0700u);

    QString output;
    EXPECT_EQ(
        RunPeer({"send", "PixvelDownloader", "21", "별||http://h/a.zip||items/a.zip"}, &output), 0);
    EXPECT_EQ(output, "42");
    ASSERT_EQ(received_.size(), 1u);
    EXPECT_EQ(received_[0].dataWord, 21u);
    EXPECT_EQ(QString::fromUtf8(received_[0].bytes), "별||http://h/a.zip||items/a.zip");

    // An exact title: another title, even one differing in case, finds nothing.
    EXPECT_EQ(RunPeer({"send", "pixveldownloader", "1", "x"}), 1);
    EXPECT_EQ(received_.size(), 1u);

    link_.Close();
    EXPECT_FALSE(CWindowLink::Find("PixvelDownloader"));
    EXPECT_FALSE(fs::exists(CWindowLink::SocketPath("PixvelDownloader").toStdString()));
    EXPECT_FALSE(CWindowLink::Send("PixvelDownloader", 1, "x"));
}

TEST_F(WindowLinkTest, TitlesMapToSocketsInsideTheRuntimeFolder)
{
    const QString folder = CWindowLink::RuntimeFolder();
    for (const QString& title : QStringList{"..", "a/../../b", QString(300, u'가'), QString()}) {
        const QString path = CWindowLink::SocketPath(title);
        EXPECT_EQ(QFileInfo(path).absolutePath(), folder) << path.toStdString();
        EXPECT_LT(path.toUtf8().size(), 108);
    }
    EXPECT_NE(CWindowLink::SocketPath("A"), CWindowLink::SocketPath("a"));
}

TEST_F(WindowLinkTest, ASecondClaimLeavesTheLiveWindowItsTitle)
{
    QProcess first;
    first.start(PIXVEL_WINDOW_LINK_PEER, {"listen", "Taken"});
    ASSERT_TRUE(CWindowLink::WaitForWindow("Taken", 10000));
    EXPECT_TRUE(CWindowLink::Find("Taken"));

    EXPECT_FALSE(ListenAsReceiver("Taken"));
    EXPECT_FALSE(link_.IsListening());
    EXPECT_EQ(CWindowLink::Send("Taken", 6, "to the first"), 7); // still the first's

    EXPECT_EQ(CWindowLink::Send("Taken", 0, "quit"), 1);
    ASSERT_TRUE(first.waitForFinished(10000));
    EXPECT_FALSE(CWindowLink::Find("Taken"));
    EXPECT_TRUE(ListenAsReceiver("Taken")); // free once its holder closed
}

TEST_F(WindowLinkTest, WaitForWindowWaitsForTheStartedProgram)
{
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(CWindowLink::WaitForWindow("Late", 200));
    EXPECT_GE(clock.elapsed(), 200);

    QProcess late;
    late.start(PIXVEL_WINDOW_LINK_PEER, {"listen", "Late"});
    EXPECT_TRUE(CWindowLink::WaitForWindow("Late", 10000));
    CWindowLink::Send("Late", 0, "quit");
    late.waitForFinished(10000);
}

TEST_F(WindowLinkTest, AStaleSocketOfACrashedProgramIsReplaced)
{
    QProcess crashed;
    crashed.start(PIXVEL_WINDOW_LINK_PEER, {"listen", "Stale"});
    ASSERT_TRUE(CWindowLink::WaitForWindow("Stale", 10000));
    kill(pid_t(crashed.processId()), SIGKILL);
    crashed.waitForFinished(10000);
    ASSERT_TRUE(fs::exists(CWindowLink::SocketPath("Stale").toStdString()));
    EXPECT_FALSE(CWindowLink::Find("Stale"));

    ASSERT_TRUE(ListenAsReceiver("Stale"));
    OnOtherThread([] { EXPECT_EQ(CWindowLink::Send("Stale", 5, "again"), 10); });
    EXPECT_EQ(received_.size(), 1u);
}

TEST_F(WindowLinkTest, RefusesOversizedTruncatedAndUnknownFrames)
{
    ASSERT_TRUE(ListenAsReceiver("Frames"));
    const QString path = CWindowLink::SocketPath("Frames");
    const QByteArray limit(CWindowLink::kMaxBytes, 'x');
    OnOtherThread([&] {
        using frames::Outcome;
        const auto oversized = frames::Head(frames::kMessageKind, 1, CWindowLink::kMaxBytes + 1);
        EXPECT_EQ(frames::SendRaw(path, oversized + limit + "x").outcome, Outcome::ClosedUnread);
        EXPECT_EQ(frames::SendRaw(path, frames::Head(0x12345678, 1, 0)).outcome,
                  Outcome::ClosedUnread);
        // A head announcing 100 bytes, then 50 of them and the end.
        frames::SendRaw(path, frames::Head(frames::kMessageKind, 2, 100) + QByteArray(50, 'y'),
                        true);
        // Only half a head.
        frames::SendRaw(path, frames::Head(frames::kMessageKind, 2, 0).left(6), true);

        EXPECT_FALSE(CWindowLink::Send("Frames", 3, limit + "x")); // refused before sending
        EXPECT_EQ(CWindowLink::Send("Frames", 4, limit), 8);       // the limit itself goes
        EXPECT_EQ(CWindowLink::Send("Frames", 5, {}), 10);
    });
    ASSERT_EQ(received_.size(), 2u);
    EXPECT_EQ(received_[0].bytes, limit);
    EXPECT_TRUE(received_[1].bytes.isEmpty());
}

TEST_F(WindowLinkTest, ConcurrentSendersEachGetTheirOwnResult)
{
    ASSERT_TRUE(ListenAsReceiver("Busy"));
    constexpr int kSenders = 8;
    constexpr int kEach = 25;
    std::atomic<int> right{0};
    OnOtherThread([&] {
        std::vector<std::thread> senders;
        for (int s = 0; s < kSenders; ++s) {
            senders.emplace_back([s, &right] {
                for (int i = 0; i < kEach; ++i) {
                    const uint32_t word = uint32_t(s * 1000 + i);
                    right +=
                        CWindowLink::Send("Busy", word, QByteArray::number(word)) == long(word) * 2;
                }
            });
        }
        for (std::thread& sender : senders) {
            sender.join();
        }
    });
    EXPECT_EQ(right, kSenders * kEach);
    ASSERT_EQ(received_.size(), size_t(kSenders * kEach));
    for (const Received& message : received_) {
        EXPECT_EQ(message.bytes, QByteArray::number(message.dataWord));
    }
}

// Runs the peer as another user: needs root and setpriv.
TEST_F(WindowLinkTest, RefusesAnotherUser)
{
    if (geteuid() != 0 || !fs::exists("/usr/bin/setpriv")) {
        GTEST_SKIP() << "needs root and setpriv to run a sender as another user";
    }
    ASSERT_TRUE(ListenAsReceiver("Mine"));
    // The peer program where the other user may run it.
    const fs::path peer = runtime_ / "peer";
    fs::copy_file(PIXVEL_WINDOW_LINK_PEER, peer);
    const QString socket = CWindowLink::SocketPath("Mine");
    const QString folder = CWindowLink::RuntimeFolder();
    const auto runAsNobody = [&] {
        return RunPeer({"--reuid=65534", "--regid=65534", "--clear-groups",
                        QString::fromStdString(peer.string()), "raw", socket, "9", "hello"},
                       nullptr, "/usr/bin/setpriv");
    };
    chmod(runtime_.Path().c_str(), 0755);

    // The folder keeps the other user out.
    EXPECT_EQ(runAsNobody(), 4);
    // Opened up, the socket is reached, and the receiver itself refuses.
    chmod(QFile::encodeName(folder).constData(), 0755);
    chmod(QFile::encodeName(socket).constData(), 0666);
    EXPECT_EQ(runAsNobody(), 3);
    EXPECT_TRUE(received_.empty());

    // The same frame from this user is taken.
    OnOtherThread(
        [&] { EXPECT_EQ(frames::SendRaw(socket, frames::Message(9, "hello")).result, 18); });
    EXPECT_EQ(received_.size(), 1u);
}

} // namespace
