#include "CTextNewsView.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <utility>

namespace {

// News pages are small; a larger answer is not a news page.
constexpr qint64 kMaxPageBytes = 4 * 1024 * 1024;

} // namespace

CTextNewsView::CTextNewsView(QWidget* parent)
    : CNewsView(parent), browser_(new QTextBrowser(this)), network_(new QNetworkAccessManager(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    browser_->setOpenLinks(false);
    browser_->setAccessibleName(QStringLiteral("새소식"));
    connect(browser_, &QTextBrowser::anchorClicked, this, &CTextNewsView::LinkClicked);
    connect(network_, &QNetworkAccessManager::finished, this, &CTextNewsView::Fetched);
}

CTextNewsView::~CTextNewsView() = default;

void CTextNewsView::Navigate(const QUrl& address)
{
    address_ = address;
    if (QNetworkReply* older = std::exchange(pending_, nullptr)) {
        older->abort();
    }
    if (address.isEmpty()) {
        browser_->clear();
        return;
    }
    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    pending_ = network_->get(request);
}

void CTextNewsView::Fetched(QNetworkReply* reply)
{
    reply->deleteLater();
    if (reply != pending_) {
        return; // an older fetch, replaced by a later one
    }
    pending_ = nullptr;
    const bool ok = reply->error() == QNetworkReply::NoError;
    const QByteArray body = ok ? reply->read(kMaxPageBytes) : QByteArray();
    browser_->document()->setBaseUrl(address_);
    browser_->setHtml(QString::fromUtf8(body));
    emit Loaded(ok);
}

void CTextNewsView::LinkClicked(const QUrl& link)
{
    const QUrl target = address_.resolved(link);
    if (LeavesPage(address_, target)) {
        OpenOutside(target);
    } else if (!target.fragment().isEmpty()) {
        browser_->scrollToAnchor(target.fragment());
    }
}
