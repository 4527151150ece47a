#include "CWebNewsView.h"

#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

// A page that keeps the news page in the panel and sends every link that
// leads away from it to the desktop's web browser.
class CNewsPage : public QWebEnginePage
{
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override
    {
        if (type == NavigationTypeLinkClicked && isMainFrame &&
            CNewsView::LeavesPage(this->url(), url)) {
            CNewsView::OpenOutside(url);
            return false;
        }
        return true;
    }

    // A link that asks for a new window goes to the desktop's browser too:
    // the page made here hands its first address over and goes away.
    QWebEnginePage* createWindow(WebWindowType) override { return new CHandOverPage(this); }

private:
    class CHandOverPage : public QWebEnginePage
    {
    public:
        explicit CHandOverPage(QObject* parent) : QWebEnginePage(parent) {}

    protected:
        bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override
        {
            CNewsView::OpenOutside(url);
            deleteLater();
            return false;
        }
    };
};

} // namespace

CWebNewsView::CWebNewsView(QWidget* parent) : CNewsView(parent)
{
    setAccessibleName(QStringLiteral("새소식"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void CWebNewsView::Navigate(const QUrl& address)
{
    address_ = address;
    if (engine_ != nullptr) {
        Load();
    }
}

void CWebNewsView::showEvent(QShowEvent* event)
{
    CNewsView::showEvent(event);
    if (engine_ == nullptr) {
        engine_ = new QWebEngineView(this);
        engine_->setPage(new CNewsPage(engine_));
        engine_->setAccessibleName(accessibleName());
        layout()->addWidget(engine_);
        Load();
    }
}

void CWebNewsView::Load()
{
    if (address_.isEmpty()) {
        engine_->setHtml(QString());
    } else {
        engine_->load(address_);
    }
}
