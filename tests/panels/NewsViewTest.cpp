#include "CLocalHttpServer.h"
#include "CTextNewsView.h"
#include "DialogTesting.h"

#include <QDesktopServices>
#include <QSignalSpy>
#include <QTextBrowser>
#include <QTextDocument>

namespace {

// Takes the addresses handed to the desktop's web browser.
class CBrowserRecorder : public QObject
{
    Q_OBJECT

public:
    CBrowserRecorder()
    {
        for (const char* scheme : {"http", "https"}) {
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "Open");
        }
    }
    ~CBrowserRecorder() override
    {
        for (const char* scheme : {"http", "https"}) {
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

} // namespace

#include "NewsViewTest.moc"
