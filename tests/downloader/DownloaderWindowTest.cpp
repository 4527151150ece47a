#include "../transfer/TempFolder.h"
#include "../transfer/ZipBuilder.h"
#include "CDownloaderWindow.h"
#include "CLocalHttpServer.h"
#include "CRegistry.h"
#include "CTextProgressBar.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <condition_variable>
#include <csignal>

namespace fs = std::filesystem;
using Headers = std::vector<std::pair<std::string, std::string>>;

namespace {

const Headers kBinary = {{"Content-Type", "application/octet-stream"}};
constexpr const char* kKey = "HKEY_CURRENT_USER\\Software\\Pixvel";

void EnsureApplication()
{
    if (QApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "downloader_tests";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
}

// Holds a server's answer part-way until the test opens it (10 s at most,
// so that a failing test never hangs the server's shutdown).
class CGate
{
public:
    void Open()
    {
        {
            std::lock_guard lock(mutex_);
            open_ = true;
        }
        opened_.notify_all();
    }
    void Wait()
    {
        std::unique_lock lock(mutex_);
        opened_.wait_for(lock, std::chrono::seconds(10), [this] { return open_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

CLocalHttpServer::Handler Answer(std::string body, int status = 200, Headers headers = kBinary,
                                 bool withLength = true)
{
    return [=](const HttpRequest&, CHttpConnection& connection) {
        connection.Respond(status, headers, body, withLength);
    };
}

// Sends `head` bytes of `body` with the full Content-Length, waits at the
// gate, then sends the rest.
CLocalHttpServer::Handler AnswerInTwo(std::string body, size_t head, CGate& gate)
{
    return [body, head, &gate](const HttpRequest&, CHttpConnection& connection) {
        connection.Send("HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
                        "Content-Length: " +
                        std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n");
        connection.Send(std::string_view(body).substr(0, head));
        gate.Wait();
        connection.Send(std::string_view(body).substr(head));
    };
}

// Sends the body in pieces of 64 KiB, 20 ms apart.
CLocalHttpServer::Handler Trickle(std::string body)
{
    return [body](const HttpRequest&, CHttpConnection& connection) {
        connection.Send("HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
                        "Content-Length: " +
                        std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n");
        for (size_t at = 0; at < body.size(); at += 65536) {
            if (!connection.Send(std::string_view(body).substr(at, 65536))) {
                return;
            }
            connection.Pause(std::chrono::milliseconds(20));
        }
    };
}

// A window started on a settings key whose download folder is
// <temp>/apps/items, a server, and a runtime folder of the test's own.
class DownloaderTest : public ::testing::Test
{
protected:
    DownloaderTest()
    {
        EnsureApplication();
        setenv("PIXVEL_REGISTRY_DIR", (folder_ / "registry").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", folder_.Path().c_str(), 1);
        fs::create_directories(Downloads());
        platform::CRegistry::Write(kKey, "APPS_PATH", QString::fromStdString(Apps().string()));
        platform::CRegistry::Write(kKey, "DOWNLOAD_FOLDER", "items");
    }
    ~DownloaderTest() override
    {
        window_.reset();
        server_.Stop();
    }

    fs::path Apps() const { return folder_ / "apps"; }
    fs::path Downloads() const { return Apps() / "items"; }

    void Start()
    {
        window_ = std::make_unique<CDownloaderWindow>();
        ASSERT_TRUE(window_->Initialise({"Software\\Pixvel"}));
        window_->show();
    }

    // The text as the launcher sends it: with its terminating NUL.
    void Request(uint32_t size, const std::string& text)
    {
        window_->OnRequest(size, QByteArray(text.c_str(), qsizetype(text.size() + 1)));
    }
    std::string Url(const std::string& path) const { return server_.Url(path); }

    template <typename Condition> bool Spin(Condition done, int timeoutMs = 10000)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < timeoutMs) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return done();
    }
    // Until the worker has ended and its last report is shown. Every report
    // is posted before the running flag falls, so once it has fallen the
    // posted calls hold all of them (an earlier worker may have shown the
    // end text already).
    bool WaitUntilDone()
    {
        if (!Spin([this] { return !window_->WorkerRunning(); })) {
            return false;
        }
        QCoreApplication::sendPostedEvents();
        return window_->StatusText() == CDownloaderWindow::kFinished;
    }

    QString BarText(int row) const { return window_->RowBar(row)->text(); }
    int BarPosition(int row) const { return window_->RowBar(row)->value(); }
    QString Cell(int row, int column) const
    {
        return window_->List()->topLevelItem(row)->text(column);
    }
    int RowCount() const { return window_->List()->topLevelItemCount(); }
    QString ButtonText() const { return window_->Button()->text(); }
    void Click() { QTest::mouseClick(window_->Button(), Qt::LeftButton); }

    // Everything below the test folder except the registry and the runtime.
    std::vector<fs::path> FilesUnder(const fs::path& root) const
    {
        std::vector<fs::path> files;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            if (entry.is_regular_file()) {
                files.push_back(fs::relative(entry.path(), root));
            }
        }
        std::ranges::sort(files);
        return files;
    }

    TempFolder folder_;
    CLocalHttpServer server_;
    std::unique_ptr<CDownloaderWindow> window_;
};

TEST_F(DownloaderTest, StartsWaitingWithTheListColumns)
{
    Start();
    EXPECT_EQ(window_->windowTitle(), "PixvelDownloader");
    EXPECT_EQ(window_->StatusText(), "파일 전송 대기 중입니다.");
    EXPECT_EQ(ButtonText(), "종료");
    EXPECT_EQ(window_->DownloadFolder(), QString::fromStdString(Downloads().string()));
    QTreeWidgetItem* header = window_->List()->headerItem();
    EXPECT_EQ(header->text(0), "이름");
    EXPECT_EQ(header->text(1), "크기");
    EXPECT_EQ(header->text(2), "상태");
    EXPECT_EQ(header->text(3), "저장폴더");
    const int widths[] = {120, 100, 80, 220};
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(window_->List()->header()->sectionSize(column), widths[column]);
    }
    EXPECT_EQ(window_->OverallBar()->text(), "0%");
    EXPECT_EQ(window_->OverallBar()->accessibleName(), "진행상황");
}

TEST_F(DownloaderTest, WithoutExactlyOneUsableArgumentItCannotInitialise)
{
    platform::CRegistry::Write("HKCU\\Software\\Empty", "DOWNLOAD_FOLDER", "items");
    for (const QStringList& arguments :
         {QStringList{}, QStringList{"Software\\Pixvel", "more"}, QStringList{"Software\\Empty"}}) {
        CDownloaderWindow window;
        QString shown;
        QTimer::singleShot(0, [&shown] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            shown = box->text();
            box->button(QMessageBox::Ok)->click();
        });
        EXPECT_FALSE(window.Initialise(arguments));
        EXPECT_EQ(shown, "초기화를 할 수 없습니다.");
    }
}

TEST_F(DownloaderTest, APackageLandsUnpackedAndIsDeleted)
{
    const std::string package = BuildZip(
        {.entries = {{.name = "stars/a.png", .data = "aaa"}, {.name = "b.png", .data = "bb"}}});
    server_.Route("/pack.zip", Answer(package));
    Start();
    Request(uint32_t(package.size()), "별 묶음||" + Url("/pack.zip") + "||items\\pack.zip");
    ASSERT_EQ(RowCount(), 1);
    EXPECT_EQ(Cell(0, 0), "별 묶음");
    EXPECT_EQ(Cell(0, 1), "0MB");
    EXPECT_EQ(Cell(0, 3), QString::fromStdString((Downloads() / "items/pack.zip").string()));
    ASSERT_TRUE(WaitUntilDone());

    EXPECT_EQ(ReadFile(Downloads() / "items/stars/a.png"), "aaa");
    EXPECT_EQ(ReadFile(Downloads() / "items/b.png"), "bb");
    EXPECT_FALSE(fs::exists(Downloads() / "items/pack.zip"));
    EXPECT_EQ(FilesUnder(Downloads()).size(), 2u);
    EXPECT_EQ(BarText(0), "Complete");
    EXPECT_EQ(BarPosition(0), 100);
    EXPECT_EQ(window_->OverallBar()->value(), 100);
    EXPECT_EQ(ButtonText(), "종료");
}

// Beside an installation the user cannot write to, DOWNLOAD_FOLDER names
// the user's own items folder as an absolute path.
TEST_F(DownloaderTest, AnAbsoluteDownloadFolderIsTheFolderItself)
{
    const fs::path own = folder_ / "home/items";
    fs::create_directories(own);
    platform::CRegistry::Write(kKey, "DOWNLOAD_FOLDER", QString::fromStdString(own.string()));
    const std::string package = BuildZip({.entries = {{.name = "별/a.png", .data = "aaa"}}});
    server_.Route("/pack.zip", Answer(package));
    Start();
    Request(uint32_t(package.size()), "별||" + Url("/pack.zip") + "||pack.zip");
    EXPECT_EQ(Cell(0, 3), QString::fromStdString((own / "pack.zip").string()));
    ASSERT_TRUE(WaitUntilDone());
    EXPECT_EQ(ReadFile(own / "별/a.png"), "aaa");
    EXPECT_TRUE(FilesUnder(Apps()).empty()) << "nothing lands in the installation folder";
}

TEST_F(DownloaderTest, ShowsTheFiguresOfEachChunk)
{
    CGate gate;
    const std::string body = NoiseBytes(3145728);
    server_.Route("/big.bin", AnswerInTwo(body, 1048576, gate));
    Start();
    Request(3145728, "big||" + Url("/big.bin") + "||big.bin");
    ASSERT_TRUE(Spin([this] { return Cell(0, 1) == "3MB(1MB)"; }));
    EXPECT_EQ(BarPosition(0), 33);
    EXPECT_EQ(BarText(0), "33%");
    EXPECT_EQ(window_->OverallBar()->value(), 33);
    EXPECT_EQ(window_->StatusText(), "big.bin 파일을 내려받는중입니다.");
    EXPECT_EQ(ButtonText(), "중지");
    gate.Open();
    ASSERT_TRUE(WaitUntilDone());
    EXPECT_EQ(Cell(0, 1), "3MB(3MB)");
    EXPECT_EQ(BarText(0), "Complete");
    EXPECT_EQ(ReadFile(Downloads() / "big.bin"), body);
}

TEST_F(DownloaderTest, TheButtonPausesAndResumesTheTransfer)
{
    const std::string body = NoiseBytes(4 << 20);
    server_.Route("/slow.bin", Trickle(body));
    Start();
    Request(uint32_t(body.size()), "slow||" + Url("/slow.bin") + "||slow.bin");
    ASSERT_TRUE(Spin([this] { return BarPosition(0) >= 5; }));
    Click();
    EXPECT_EQ(ButtonText(), "전송");
    Spin([] { return false; }, 300); // what was under way arrives
    const int paused = BarPosition(0);
    Spin([] { return false; }, 500);
    EXPECT_EQ(BarPosition(0), paused);
    EXPECT_LT(paused, 100);
    EXPECT_TRUE(window_->WorkerRunning());

    Click();
    EXPECT_EQ(ButtonText(), "중지");
    ASSERT_TRUE(WaitUntilDone());
    EXPECT_EQ(ButtonText(), "종료");
    EXPECT_EQ(ReadFile(Downloads() / "slow.bin"), body);
    Click();
    EXPECT_FALSE(window_->isVisible());
    EXPECT_EQ(window_->result(), QDialog::Accepted);
}

TEST_F(DownloaderTest, ARequestWithTwoPiecesIsDroppedWithoutAMessage)
{
    Start();
    Request(100, "name||" + Url("/never"));
    ASSERT_EQ(RowCount(), 1);
    EXPECT_EQ(Cell(0, 0), "");
    ASSERT_TRUE(WaitUntilDone());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(server_.Requests().empty());
    EXPECT_EQ(BarText(0), "실패");
    EXPECT_TRUE(FilesUnder(Downloads()).empty());
}

TEST_F(DownloaderTest, PathsLeadingOutOfTheDownloadFolderAreDropped)
{
    server_.Route("/x", Answer("hostile"));
    fs::create_directories(folder_ / "outside");
    fs::create_directory_symlink(folder_ / "outside", Downloads() / "link");
    Start();
    // The absolute path lies in the test's folder, so that a fault could
    // never write into the system; the last name is not UTF-8 (code page
    // 949 bytes).
    const std::vector<std::string> files = {"../../.bashrc",
                                            (folder_ / "outside/abs").string(),
                                            "C:\\x",
                                            "..\\outside.txt",
                                            "link/x",
                                            "",
                                            "\xc7\xcf\xc6\xae.png"};
    for (const std::string& file : files) {
        Request(7, "x||" + Url("/x") + "||" + file);
    }
    ASSERT_TRUE(WaitUntilDone());
    for (int row = 0; row < int(files.size()); ++row) {
        EXPECT_EQ(BarText(row), "실패") << files[size_t(row)];
    }
    EXPECT_TRUE(server_.Requests().empty());
    EXPECT_TRUE(FilesUnder(folder_ / "outside").empty());
    EXPECT_TRUE(FilesUnder(Downloads()).empty());
    EXPECT_FALSE(fs::exists(folder_ / ".bashrc"));
}

TEST_F(DownloaderTest, OnlyWebAddressesAreFetched)
{
    WriteFile(folder_ / "secret.txt", "secret");
    Start();
    Request(6, "a||file://" + (folder_ / "secret.txt").string() + "||a.txt");
    Request(6, "b||ftp://127.0.0.1:" + std::to_string(server_.Port()) + "/x||b.txt");
    Request(6, "c||not an address||c.txt");
    ASSERT_TRUE(WaitUntilDone());
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(BarText(row), "실패");
    }
    EXPECT_TRUE(FilesUnder(Downloads()).empty());
}

TEST_F(DownloaderTest, ErrorPagesFailAndReplaceNothing)
{
    server_.Route("/gone.zip",
                  Answer("<html>not found</html>", 404, {{"Content-Type", "text/html"}}));
    server_.Route("/broken", Answer("<html>error</html>", 500, {{"Content-Type", "text/html"}}));
    WriteFile(Downloads() / "kept.png", "old");
    Start();
    Request(100, "a||" + Url("/gone.zip") + "||gone.zip");
    Request(100, "b||" + Url("/broken") + "||kept.png");
    ASSERT_TRUE(WaitUntilDone());
    EXPECT_EQ(BarText(0), "실패");
    EXPECT_EQ(BarText(1), "실패");
    EXPECT_EQ(FilesUnder(Downloads()), std::vector<fs::path>{"kept.png"});
    EXPECT_EQ(ReadFile(Downloads() / "kept.png"), "old");
}

TEST_F(DownloaderTest, AnUnreadablePackageIsLeftAsItWas)
{
    server_.Route("/bad.zip", Answer("this is no package"));
    Start();
    Request(18, "bad||" + Url("/bad.zip") + "||bad.zip");
    ASSERT_TRUE(WaitUntilDone());
    EXPECT_EQ(BarText(0), "실패");
    EXPECT_EQ(ReadFile(Downloads() / "bad.zip"), "this is no package");
}

TEST_F(DownloaderTest, AnOversizedPackageIsRefusedWithItsReasonAndItemsCannotRun)
{
    // 70 MiB of zeros in a package of about 70 KB: beyond 64 times its size.
    const std::string bomb =
        BuildZip({.entries = {{.name = "zeros.png", .data = std::string(70 << 20, '\0')}}});
    const std::string program = BuildZip({.entries = {{.name = "run.png",
                                                       .data = "#!/bin/sh\n",
                                                       .versionMadeBy = 3 << 8 | 20,
                                                       .externalAttributes = 0100777u << 16}}});
    server_.Route("/bomb.zip", Answer(bomb));
    server_.Route("/run.zip", Answer(program));
    Start();
    Request(uint32_t(bomb.size()), "bomb||" + Url("/bomb.zip") + "||bomb.zip");
    Request(uint32_t(program.size()), "run||" + Url("/run.zip") + "||run.zip");
    ASSERT_TRUE(WaitUntilDone());
    EXPECT_TRUE(BarText(0).startsWith("압축을 풀 수 없습니다: ")) << BarText(0).toStdString();
    EXPECT_FALSE(fs::exists(Downloads() / "zeros.png"));
    const fs::perms mode = fs::status(Downloads() / "run.png").permissions();
    EXPECT_EQ(mode & (fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec),
              fs::perms::none);
}

TEST_F(DownloaderTest, UnknownLengthsAndSmallTotalsNeverDivideByZero)
{
    server_.Route("/nolength", Answer(NoiseBytes(200000), 200, kBinary, false));
    server_.Route("/zero", Answer("", 200));
    Start();
    // An announced total below 100: the overall bar stays where it was.
    Request(50, "n||" + Url("/nolength") + "||n.bin");
    Request(0, "z||" + Url("/zero") + "||z.bin");
    ASSERT_TRUE(WaitUntilDone());
    EXPECT_EQ(ReadFile(Downloads() / "n.bin"), NoiseBytes(200000));
    EXPECT_TRUE(fs::exists(Downloads() / "z.bin"));
    EXPECT_EQ(window_->OverallBar()->value(), 0);
    EXPECT_EQ(BarText(0), "Complete");
    EXPECT_EQ(BarText(1), "Complete");
    EXPECT_EQ(Cell(0, 1), "0MB(0MB)");
}

TEST_F(DownloaderTest, ClosingDuringATransferJoinsTheWorkerAndRemovesThePartialFile)
{
    server_.Route("/slow.bin", Trickle(NoiseBytes(8 << 20)));
    Start();
    Request(8 << 20, "slow||" + Url("/slow.bin") + "||slow.bin");
    Request(10, "next||" + Url("/slow.bin") + "||next.bin");
    ASSERT_TRUE(Spin([this] { return BarPosition(0) >= 2; }));
    QElapsedTimer clock;
    clock.start();
    window_->reject();
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_FALSE(window_->WorkerRunning());
    EXPECT_FALSE(window_->isVisible());
    EXPECT_TRUE(FilesUnder(Downloads()).empty()); // no partial file, no second file
    EXPECT_FALSE(platform::CWindowLink::Find("PixvelDownloader"));
    EXPECT_EQ(server_.Requests().size(), 1u);
}

TEST_F(DownloaderTest, ClosingWhileTheServerSendsNothingEndsAtOnce)
{
    server_.Route("/silent.bin", [](const HttpRequest&, CHttpConnection& connection) {
        connection.Send("HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
                        "Content-Length: 1000\r\n\r\n");
        connection.Pause(std::chrono::seconds(30));
    });
    Start();
    Request(1000, "silent||" + Url("/silent.bin") + "||silent.bin");
    ASSERT_TRUE(Spin([this] { return !FilesUnder(Downloads()).empty(); }));
    QTest::qWait(300); // the server has gone quiet
    QElapsedTimer clock;
    clock.start();
    window_->reject();
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_FALSE(window_->WorkerRunning());
    EXPECT_EQ(FilesUnder(Downloads()), std::vector<fs::path>{});
}

TEST_F(DownloaderTest, RowBarsFollowTheirCells)
{
    Start();
    for (int row = 0; row < 40; ++row) {
        Request(100, "row " + std::to_string(row) + "||http://127.0.0.1:1/x||r.bin");
    }
    WaitUntilDone();
    QTreeWidget* list = window_->List();
    const auto expectFollowing = [&](const char* after) {
        QApplication::processEvents();
        for (int row = 0; row < RowCount(); ++row) {
            const QRect cell = list->visualRect(list->model()->index(row, 2));
            if (cell.intersects(list->viewport()->rect())) {
                EXPECT_EQ(window_->RowBar(row)->geometry(), cell) << after << " row " << row;
                EXPECT_TRUE(window_->RowBar(row)->isVisible()) << after << " row " << row;
            }
        }
    };
    expectFollowing("start");
    window_->resize(700, 420);
    expectFollowing("resize");
    list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
    expectFollowing("scroll");
    list->header()->resizeSection(0, 200); // a column divider dragged
    expectFollowing("column resize");
    list->header()->moveSection(2, 0);
    expectFollowing("column move");
}

TEST_F(DownloaderTest, TheContextMenuOpensTheAboutBox)
{
    Start();
    QString item;
    QString title;
    QString line;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        item = menu->actions().first()->text();
        QTimer::singleShot(0, [&] {
            auto* about = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(about, nullptr);
            title = about->windowTitle();
            line = about->text();
            EXPECT_EQ(about->button(QMessageBox::Ok)->text(), "확인");
            about->accept();
        });
        menu->actions().first()->trigger();
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
                            window_->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(window_.get(), &event);
    EXPECT_EQ(item, "VelunarDownloader 정보(&A)...");
    EXPECT_EQ(title, "VelunarDownloader 정보");
    EXPECT_EQ(line, "VelunarDownloader 버전 1.0");
}

// Counts the pixels of `area` in `image` that have exactly `colour`.
int CountColour(const QImage& image, const QRect& area, QRgb colour)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += (image.pixel(x, y) & 0xffffff) == (colour & 0xffffff);
        }
    }
    return count;
}

TEST(TextProgressBarTest, DrawsItsTextInTwoPassesOverTheFilledPartAndTheRest)
{
    EnsureApplication();
    CTextProgressBar bar;
    QPalette palette = bar.palette();
    palette.setColor(QPalette::Highlight, QColor(0, 0, 255));
    palette.setColor(QPalette::Base, QColor(255, 255, 255));
    palette.setColor(QPalette::Window, QColor(10, 200, 10));
    bar.setPalette(palette);
    bar.SetRestColour(QColor(200, 200, 200));
    bar.resize(200, 24);
    bar.setValue(50);
    EXPECT_EQ(bar.text(), "50%");
    bar.SetBarText("MMMMMMMMMMMMMMMMMMMMMMMM");
    EXPECT_EQ(bar.accessibleDescription(), bar.text());
    const QImage image = bar.grab().toImage();
    const QRect filled(0, 0, 100, 24);
    const QRect rest(100, 0, 100, 24);
    EXPECT_EQ(image.pixel(1, 1) & 0xffffff, 0x0000ffu);
    EXPECT_EQ(image.pixel(198, 1) & 0xffffff, 0xc8c8c8u);
    // Window-coloured text over the filled part, highlight-coloured over the rest.
    EXPECT_GT(CountColour(image, filled, 0xffffff), 20);
    EXPECT_EQ(CountColour(image, filled, 0xc8c8c8), 0);
    EXPECT_GT(CountColour(image, rest, 0x0000ff), 20);
    EXPECT_EQ(CountColour(image, rest, 0xffffff), 0);
    EXPECT_EQ(CountColour(image, image.rect(), 0x0ac80a), 0) << "no dialog-face colour";

    bar.SetBarText({});
    bar.setValue(100);
    EXPECT_EQ(bar.text(), "100%");
    // Screen readers get the position and the text.
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&bar);
    ASSERT_NE(accessible, nullptr);
    ASSERT_NE(accessible->valueInterface(), nullptr);
    EXPECT_EQ(accessible->valueInterface()->currentValue().toInt(), 100);
    EXPECT_EQ(accessible->text(QAccessible::Description), "100%");
}

TEST_F(DownloaderTest, OverallBarPaintsItsEmptyPartInTheTextFieldWhite)
{
    Start();
    CTextProgressBar* bar = window_->OverallBar();
    const QColor base = bar->palette().color(QPalette::Base);
    ASSERT_NE(base, bar->palette().color(QPalette::Window));
    bar->setValue(60);
    const QImage image = bar->grab().toImage();
    EXPECT_EQ(image.pixelColor(image.width() - 2, 1), base);
    // The percentage over the filled part is written in the same colour
    // (smoothed at its edges).
    int nearBase = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width() * 60 / 100; ++x) {
            const QColor pixel = image.pixelColor(x, y);
            nearBase += std::abs(pixel.lightness() - base.lightness()) < 40 ? 1 : 0;
        }
    }
    EXPECT_GT(nearBase, 5);
}

// Runs a program to its end while this thread keeps the window working.
class DownloaderLinkTest : public DownloaderTest
{
protected:
    int Run(const QString& program, const QStringList& arguments, QString* output = nullptr)
    {
        QProcess process;
        process.start(program, arguments);
        Spin([&process] { return process.state() == QProcess::NotRunning; });
        if (output != nullptr) {
            *output = QString::fromUtf8(process.readAll()).trimmed();
        }
        return process.exitCode();
    }
    int Send(uint32_t size, const std::string& text, QString* output = nullptr)
    {
        return Run(
            PIXVEL_TOOL,
            {"send", "PixvelDownloader", QString::number(size), QString::fromStdString(text)},
            output);
    }
};

TEST_F(DownloaderLinkTest, TwoRequestsInQuickSuccessionRunOneAfterTheOther)
{
    CGate gate;
    // The second file is asked for only once the first is complete.
    std::atomic<bool> firstWasComplete{false};
    server_.Route("/first.bin", AnswerInTwo(NoiseBytes(300000), 100000, gate));
    server_.Route("/second.bin", [&](const HttpRequest& request, CHttpConnection& connection) {
        firstWasComplete = ReadFile(Downloads() / "first.bin") == NoiseBytes(300000);
        Answer("second")(request, connection);
    });
    Start();
    ASSERT_TRUE(window_->StartListening());

    QString result;
    ASSERT_EQ(Send(300000, "first||" + Url("/first.bin") + "||first.bin", &result), 0);
    EXPECT_EQ(result, "0");
    ASSERT_TRUE(Spin([this] { return BarPosition(0) > 0; }));
    ASSERT_EQ(Send(6, "second||" + Url("/second.bin") + "||second.bin"), 0);
    EXPECT_EQ(RowCount(), 2); // shown at once, while the first still runs
    EXPECT_EQ(Cell(1, 0), "second");
    EXPECT_EQ(server_.Requests().size(), 1u);
    gate.Open();
    ASSERT_TRUE(WaitUntilDone());
    ASSERT_EQ(server_.Requests().size(), 2u);
    EXPECT_EQ(server_.Requests()[1].path, "/second.bin");
    EXPECT_TRUE(firstWasComplete);
    EXPECT_EQ(ReadFile(Downloads() / "second.bin"), "second");
    EXPECT_EQ(BarText(1), "Complete");

    EXPECT_EQ(Run(PIXVEL_TOOL, {"send", "NoSuchWindow", "1", "x"}), 1);
}

TEST_F(DownloaderLinkTest, TheProgramTakesRequestsAndKeepsItsTitle)
{
    const std::string package = BuildZip({.entries = {{.name = "heart.png", .data = "<3"}}});
    server_.Route("/p.zip", Answer(package));
    QProcess program;
    program.start(PIXVEL_DOWNLOADER, {"Software\\Pixvel"});
    ASSERT_TRUE(platform::CWindowLink::WaitForWindow("PixvelDownloader", 10000));
    // A second downloader leaves the title to the first and ends.
    EXPECT_EQ(Run(PIXVEL_DOWNLOADER, {"Software\\Pixvel"}), 1);

    ASSERT_EQ(Send(uint32_t(package.size()), "p||" + Url("/p.zip") + "||new/p.zip"), 0);
    EXPECT_TRUE(Spin([this] {
        return fs::exists(Downloads() / "new/heart.png") && !fs::exists(Downloads() / "new/p.zip");
    }));
    EXPECT_EQ(ReadFile(Downloads() / "new/heart.png"), "<3");
    program.terminate();
    program.waitForFinished(5000);
}

// Without a runtime folder the links live in the user's own cache folder; a
// folder there that is not the user's is named as such, not as a title
// another window holds.
TEST_F(DownloaderLinkTest, WithoutARuntimeFolderTheLinkLivesInTheUsersCache)
{
    unsetenv("XDG_RUNTIME_DIR");
    setenv("XDG_CACHE_HOME", (folder_ / "cache").c_str(), 1);
    EXPECT_EQ(platform::CWindowLink::RuntimeFolder(),
              QString::fromStdString((folder_ / "cache/pixvel/windows").string()));
    EXPECT_EQ(fs::status(folder_ / "cache/pixvel/windows").permissions() & fs::perms::all,
              fs::perms::owner_all);
    if (geteuid() == 0) {
        // Made by another user first.
        ASSERT_EQ(chown((folder_ / "cache/pixvel/windows").c_str(), 65534, 65534), 0);
        QProcess program;
        program.start(PIXVEL_DOWNLOADER, {"Software\\Pixvel"});
        ASSERT_TRUE(program.waitForFinished(10000));
        EXPECT_EQ(program.exitCode(), 1);
        const QString error = QString::fromUtf8(program.readAllStandardError());
        EXPECT_TRUE(error.contains("not a folder of this user's own")) << error.toStdString();
        EXPECT_FALSE(error.contains("already has the title"));
    }
    unsetenv("XDG_CACHE_HOME");
}

TEST_F(DownloaderLinkTest, EndedByASignalDuringATransferTheProgramLeavesNoPartialFile)
{
    server_.Route("/slow.bin", Trickle(NoiseBytes(16 << 20)));
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        QProcess program;
        program.start(PIXVEL_DOWNLOADER, {"Software\\Pixvel"});
        ASSERT_TRUE(platform::CWindowLink::WaitForWindow("PixvelDownloader", 10000));
        ASSERT_EQ(Send(16 << 20, "slow||" + Url("/slow.bin") + "||slow.bin"), 0);
        ASSERT_TRUE(Spin([this] { return !FilesUnder(Downloads()).empty(); }));
        ::kill(pid_t(program.processId()), signal);
        ASSERT_TRUE(program.waitForFinished(5000));
        EXPECT_EQ(program.exitStatus(), QProcess::CrashExit); // ended by the signal
        EXPECT_EQ(FilesUnder(Downloads()), std::vector<fs::path>{});
    }
}

} // namespace
