#pragma once

#include "CNewsView.h"

class CTextNewsView;
class QWebEngineView;

// The news view on Qt WebEngine. The browser engine (a process of its own)
// starts only when the view is first shown, so an editor whose news tab is
// never opened never starts it; until then the view only remembers the
// address. Should the engine's page process end abnormally (it could not
// start, crashed or was killed), the view shows the text browser instead
// from then on.
class CWebNewsView : public CNewsView
{
    Q_OBJECT

public:
    explicit CWebNewsView(QWidget* parent = nullptr);

    // Whether the engine's helper program is where the engine looks for it;
    // without it the engine would end the whole program at its start.
    static bool EngineFound();

    void Navigate(const QUrl& address) override;
    QUrl Address() const override { return address_; }
    // The text browser shown after the engine failed; null until then.
    CTextNewsView* Fallback() const { return fallback_; }
    QWebEngineView* Engine() const { return engine_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Load();
    void FallBack();

    QWebEngineView* engine_ = nullptr;
    CTextNewsView* fallback_ = nullptr;
    QUrl address_;
};
