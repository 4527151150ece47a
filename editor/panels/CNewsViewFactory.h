#pragma once

class CNewsView;
class QWidget;

// Chooses the news view for this build and process, so the view's base knows
// none of the views built on it.
class CNewsViewFactory
{
public:
    // The view for this build: Qt WebEngine where it was found at build
    // time and can start here, else a text browser that fetches the page
    // itself. The browser engine refuses to run as the superuser (it ends
    // the whole program), so a process running as root gets the text
    // browser without the engine being tried.
    static CNewsView* Create(QWidget* parent = nullptr);
};
