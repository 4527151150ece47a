#include "AppSettings.h"
#include "CCategoryTabStrip.h"
#include "CImageToolBar.h"
#include "CImageToolPanel.h"
#include "CLocalHttpServer.h"
#include "CMainFrame.h"
#include "CNewsViewFactory.h"
#include "CPrompter.h"
#include "CTextNewsView.h"
#include "CWebBrowser.h"
#include "DialogTesting.h"

#ifdef PIXVEL_HAVE_WEBENGINE
#include "CWebNewsView.h"

#include <QWebEnginePage>
#include <QWebEngineView>

#include <csignal>
#endif

#include <QDesktopServices>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>

namespace {

// Takes the addresses handed to the desktop's web browser.
class CBrowserRecorder : public QObject
{
    Q_OBJECT

public:
    static constexpr const char* kSchemes[] = {"http", "https", "file"};
    CBrowserRecorder()
    {
        for (const char* scheme : kSchemes) {
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "Open");
        }
    }
    ~CBrowserRecorder() override { Stop(); }
    // From now on nothing takes the addresses: no browser starts.
    void Stop()
    {
        for (const char* scheme : kSchemes) {
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        }
    }
    std::vector<QUrl> opened;

public slots:
    void Open(const QUrl& url) { opened.push_back(url); }
};

// The fallback view against a news page served on 127.0.0.1.
class NewsViewTest : public WidgetTest
{
protected:
    NewsViewTest()
    {
        server_.Route("/pixvel/news.html", [](const HttpRequest&, CHttpConnection& connection) {
            connection.Respond(200, {{"Content-Type", "text/html; charset=utf-8"}},
                               "<h1>새소식</h1><p><a href=\"#old\">지난 소식</a> "
                               "<a href=\"/pixvel/item_mall.html\">아이템</a></p>"
                               "<a name=\"old\">old</a>");
        });
        view_.resize(200, 400);
        view_.show();
    }
    QUrl Url(const char* path) const { return QUrl(QString::fromStdString(server_.Url(path))); }
    // Navigates and waits for the fetch to end; its result.
    bool Load(const QUrl& address)
    {
        QSignalSpy loaded(&view_, &CTextNewsView::Loaded);
        view_.Navigate(address);
        return loaded.wait(5000) && loaded.takeFirst().at(0).toBool();
    }
    QString Text() const { return view_.Browser()->toPlainText(); }

    CLocalHttpServer server_;
    CTextNewsView view_;
    CBrowserRecorder browser_;
};

TEST_F(NewsViewTest, LinksOnlyWithinThePageStayInside)
{
    const QUrl news(QStringLiteral("http://example.test/pixvel/news.html"));
    EXPECT_FALSE(CNewsView::LeavesPage(news, news));
    EXPECT_FALSE(CNewsView::LeavesPage(news, news.resolved(QUrl(QStringLiteral("#old")))));
    EXPECT_TRUE(CNewsView::LeavesPage(news, news.resolved(QUrl(QStringLiteral("shop.html")))));
    EXPECT_TRUE(CNewsView::LeavesPage(news, QUrl(QStringLiteral("https://example.test/"))));
}

TEST_F(NewsViewTest, ShowsTheFetchedPageAndSendsLinksOutside)
{
    ASSERT_TRUE(Load(Url("/pixvel/news.html")));
    EXPECT_TRUE(Text().contains(QStringLiteral("새소식")));
    emit view_.Browser()->anchorClicked(QUrl(QStringLiteral("#old")));
    EXPECT_TRUE(browser_.opened.empty());
    emit view_.Browser()->anchorClicked(QUrl(QStringLiteral("/pixvel/item_mall.html")));
    ASSERT_EQ(browser_.opened.size(), 1u);
    EXPECT_EQ(browser_.opened[0], Url("/pixvel/item_mall.html"));
    EXPECT_TRUE(Text().contains(QStringLiteral("새소식"))) << "the panel keeps the news";
}

TEST_F(NewsViewTest, OnlyWebAddressesGoToTheBrowserAndAFailedStartIsTold)
{
    ASSERT_TRUE(Load(Url("/pixvel/news.html")));
    emit view_.Browser()->anchorClicked(QUrl(QStringLiteral("file:///etc/passwd")));
    EXPECT_TRUE(browser_.opened.empty()) << "a page names no local file to open";

    if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
        GTEST_SKIP() << "a real browser could start on this platform";
    }
    browser_.Stop(); // the offscreen platform starts no browser itself
    QString told;
    QString address;
    auto watcher = WhenOpen<QMessageBox>([&](QMessageBox* box) {
        told = box->text();
        address = box->informativeText();
        box->accept();
    });
    emit view_.Browser()->anchorClicked(QUrl(QStringLiteral("/pixvel/item_mall.html")));
    EXPECT_EQ(told, CWebBrowser::kCannotOpen);
    EXPECT_EQ(address, Url("/pixvel/item_mall.html").toString());
}

TEST_F(NewsViewTest, EveryNavigationFetchesAgain)
{
    ASSERT_TRUE(Load(Url("/pixvel/news.html")));
    ASSERT_TRUE(Load(Url("/pixvel/news.html")));
    EXPECT_EQ(server_.Requests().size(), 2u);
}

TEST_F(NewsViewTest, MissingPageOrAddressShowsAnEmptyPageWithoutADialog)
{
    ASSERT_TRUE(Load(Url("/pixvel/news.html")));
    bool dialog = false;
    auto watcher = WhenOpen<QWidget>([&dialog](QWidget* window) {
        dialog = true;
        window->close();
    });
    EXPECT_FALSE(Load(Url("/pixvel/missing.html")));
    EXPECT_TRUE(Text().trimmed().isEmpty());
    ASSERT_TRUE(Load(Url("/pixvel/news.html")));
    view_.Navigate(QUrl());
    EXPECT_TRUE(Text().isEmpty());
    EXPECT_EQ(view_.Address(), QUrl());
    EXPECT_FALSE(dialog);
}

// The editor's frame with its real image tool panel, in a process that says
// it runs as the superuser, where the browser engine would end the program.
class NewsTabAsRootTest : public NewsViewTest
{
protected:
    NewsTabAsRootTest()
    {
        CNewsView::SetRootCheck([] { return true; });
        settings_.infoUrl = Url("/update/update.inf").toString();
        frame_ = std::make_unique<CMainFrame>(settings_, prompter_);
        frame_->resize(1000, 760);
        frame_->show();
        frame_->ApplyDefaultBarSizes();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(frame_.get()));
    }
    ~NewsTabAsRootTest() override
    {
        frame_.reset();
        CNewsView::SetRootCheck({});
    }
    CImageToolPanel* Panel() const { return frame_->ImageToolBar()->ToolPanel(); }

    AppSettings settings_;
    CDialogPrompter prompter_;
    std::unique_ptr<CMainFrame> frame_;
};

TEST_F(NewsTabAsRootTest, TheNewsTabShowsTheTextPageWithoutTryingTheEngine)
{
    auto* news = qobject_cast<CTextNewsView*>(Panel()->NewsView());
    ASSERT_NE(news, nullptr);
    QSignalSpy loaded(news, &CTextNewsView::Loaded);
    CCategoryTabStrip* tabs = Panel()->TabStrip();
    QTest::mouseClick(tabs, Qt::LeftButton, {},
                      tabs->TabShape(CImageToolPanel::kNewsTab).boundingRect().center());
    ASSERT_EQ(tabs->CurrentTab(), CImageToolPanel::kNewsTab);
    ASSERT_TRUE(loaded.wait(5000));
    EXPECT_TRUE(news->isVisible());
    EXPECT_TRUE(news->Browser()->toPlainText().contains(QStringLiteral("새소식")));
    for (const QWidget* widget : frame_->findChildren<QWidget*>()) {
        EXPECT_FALSE(widget->inherits("QWebEngineView"));
    }
    EXPECT_TRUE(frame_->isVisible()) << "the editor stays up";
}

#ifdef PIXVEL_HAVE_WEBENGINE
TEST_F(NewsViewTest, AnEngineWhosePageProcessDiesGivesWayToTheTextPage)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the browser engine is not built for the address sanitizer";
#endif
    // Without its sandbox the engine runs here whoever the test runs as.
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    CWebNewsView web;
    web.resize(200, 400);
    web.Navigate(Url("/pixvel/news.html"));
    web.show();
    ASSERT_NE(web.Engine(), nullptr);
    QSignalSpy loaded(web.Engine(), &QWebEngineView::loadFinished);
    ASSERT_TRUE(loaded.wait(60000));
    const qint64 pid = web.Engine()->page()->renderProcessPid();
    ASSERT_GT(pid, 0);
    ::kill(pid_t(pid), SIGKILL);
    ASSERT_TRUE(QTest::qWaitFor([&web] { return web.Fallback() != nullptr; }, 60000));
    QSignalSpy fetched(web.Fallback(), &CTextNewsView::Loaded);
    ASSERT_TRUE(fetched.count() > 0 || fetched.wait(5000));
    EXPECT_TRUE(web.Fallback()->Browser()->toPlainText().contains(QStringLiteral("새소식")));
    EXPECT_TRUE(QTest::qWaitFor([&web] { return web.Engine() == nullptr; }));
    // Later loads go to the text page too.
    web.Navigate(Url("/pixvel/news.html"));
    EXPECT_TRUE(fetched.wait(5000));
}
#endif

TEST(NewsViewChoiceTest, AViewThatCannotStartGivesWayToTheTextPage)
{
    EnsureApplication();
    CNewsView::SetRootCheck([] { return true; });
    EXPECT_TRUE(CNewsView::RunsAsRoot());
    std::unique_ptr<CNewsView> asRoot(CNewsViewFactory::Create());
    EXPECT_NE(qobject_cast<CTextNewsView*>(asRoot.get()), nullptr);

    // Not root, but the engine's helper program is missing: the engine
    // would end the program as soon as it is shown.
    CNewsView::SetRootCheck([] { return false; });
    qputenv("QTWEBENGINEPROCESS_PATH", "/nonexistent/QtWebEngineProcess");
    std::unique_ptr<CNewsView> noHelper(CNewsViewFactory::Create());
    noHelper->show();
    EXPECT_NE(qobject_cast<CTextNewsView*>(noHelper.get()), nullptr);
    qunsetenv("QTWEBENGINEPROCESS_PATH");
    CNewsView::SetRootCheck({});
}

} // namespace

#include "NewsViewTest.moc"
