#pragma once

#include "CNewsView.h"

class QNetworkAccessManager;
class QNetworkReply;
class QTextBrowser;

// The news view of a build without Qt WebEngine: a text browser that fetches
// the page over HTTP and shows its HTML. A page that cannot be fetched shows
// as empty; nothing is reported in a dialog.
class CTextNewsView : public CNewsView
{
    Q_OBJECT

public:
    explicit CTextNewsView(QWidget* parent = nullptr);
    ~CTextNewsView() override;

    void Navigate(const QUrl& address) override;
    QUrl Address() const override { return address_; }
    QTextBrowser* Browser() const { return browser_; }

signals:
    // A fetch ended (shown or failed); for tests and status.
    void Loaded(bool ok);

private:
    void Fetched(QNetworkReply* reply);
    void LinkClicked(const QUrl& link);

    QTextBrowser* browser_;
    QNetworkAccessManager* network_;
    QNetworkReply* pending_ = nullptr;
    QUrl address_;
};
