#pragma once

#include "CNewsView.h"

class QWebEngineView;

// The news view on Qt WebEngine. The browser engine (a process of its own)
// starts only when the view is first shown, so an editor whose news tab is
// never opened never starts it; until then the view only remembers the
// address.
class CWebNewsView : public CNewsView
{
    Q_OBJECT

public:
    explicit CWebNewsView(QWidget* parent = nullptr);

    void Navigate(const QUrl& address) override;
    QUrl Address() const override { return address_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Load();

    QWebEngineView* engine_ = nullptr;
    QUrl address_;
};
