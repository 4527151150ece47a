#include "CWebNewsView.h"

#include "CTextNewsView.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

// A page that keeps the news page in the panel and sends every link that
// leads away from it to the desktop's web browser.
class CNewsPage : public QWebEnginePage
{
public:
    CNewsPage(CNewsView* view, QObject* parent) : QWebEnginePage(parent), view_(view) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override
    {
        if (type == NavigationTypeLinkClicked && isMainFrame &&
            CNewsView::LeavesPage(this->url(), url)) {
            view_->OpenOutside(url);
            return false;
        }
        return true;
    }

    // A link that asks for a new window goes to the desktop's browser too:
    // the page made here hands its first address over and goes away.
    QWebEnginePage* createWindow(WebWindowType) override { return new CHandOverPage(view_, this); }

private:
    class CHandOverPage : public QWebEnginePage
    {
    public:
        CHandOverPage(CNewsView* view, QObject* parent) : QWebEnginePage(parent), view_(view) {}

    protected:
        bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override
        {
            view_->OpenOutside(url);
            deleteLater();
            return false;
        }

    private:
        CNewsView* view_;
    };

    CNewsView* view_;
};

bool IsProgram(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

} // namespace

CWebNewsView::CWebNewsView(QWidget* parent) : CNewsView(parent)
{
    setAccessibleName(QStringLiteral("새소식"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

bool CWebNewsView::EngineFound()
{
    // Where the engine looks: only the variable's path when it is set, else
    // Qt's helper folder and the program's own folder.
    const QString named = qEnvironmentVariable("QTWEBENGINEPROCESS_PATH");
    if (!named.isEmpty()) {
        return IsProgram(named);
    }
    const QString helper = QStringLiteral("/QtWebEngineProcess");
    return IsProgram(QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) + helper) ||
           IsProgram(QCoreApplication::applicationDirPath() + helper);
}

void CWebNewsView::Navigate(const QUrl& address)
{
    address_ = address;
    if (fallback_ != nullptr) {
        fallback_->Navigate(address);
    } else if (engine_ != nullptr) {
        Load();
    }
}

void CWebNewsView::showEvent(QShowEvent* event)
{
    CNewsView::showEvent(event);
    if (engine_ == nullptr && fallback_ == nullptr) {
        engine_ = new QWebEngineView(this);
        engine_->setPage(new CNewsPage(this, engine_));
        engine_->setAccessibleName(accessibleName());
        connect(engine_->page(), &QWebEnginePage::renderProcessTerminated, this,
                [this](QWebEnginePage::RenderProcessTerminationStatus status) {
                    if (status != QWebEnginePage::NormalTerminationStatus) {
                        FallBack();
                    }
                });
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

void CWebNewsView::FallBack()
{
    // The engine is in the middle of reporting: it goes once that is over.
    engine_->hide();
    engine_->deleteLater();
    engine_ = nullptr;
    fallback_ = new CTextNewsView(this);
    layout()->addWidget(fallback_);
    fallback_->Navigate(address_);
}
