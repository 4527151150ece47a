#pragma once

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QInputMethodEvent>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// The one application object of the test program, made on first use.
inline void EnsureApplication()
{
    if (QApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "dialogs_tests";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
}

// Settings the widgets write (the recent colours) go to a folder of the test
// program's own, never to the user's: set again before each test, since a
// test of the start-up may point the settings elsewhere and unset them.
inline void KeepSettingsPrivate()
{
    static QTemporaryDir registry;
    if (qEnvironmentVariableIsEmpty("PIXVEL_REGISTRY_DIR")) {
        qputenv("PIXVEL_REGISTRY_DIR", QFile::encodeName(registry.path()));
    }
}

// Base of widget tests: the application exists before any member widget.
class WidgetTest : public ::testing::Test
{
protected:
    WidgetTest()
    {
        EnsureApplication();
        KeepSettingsPrivate();
    }
};

// Calls act once a modal window of type T (a dialog, a popup or a message box)
// is up, from inside its event loop. Dropping the watcher stops the wait.
template <typename T> std::unique_ptr<QTimer> WhenOpen(std::function<void(T*)> act)
{
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(5);
    QTimer* raw = timer.get();
    QObject::connect(raw, &QTimer::timeout, [raw, act] {
        QWidget* top = QApplication::activePopupWidget();
        if (top == nullptr) {
            top = QApplication::activeModalWidget();
        }
        if (T* window = qobject_cast<T*>(top); window != nullptr && window->isVisible()) {
            raw->stop();
            act(window);
        }
    });
    timer->start();
    return timer;
}

// Runs action and returns the text of the message box it showed (closing the
// box), or an empty text when it showed none.
inline QString MessageShownBy(const std::function<void()>& action)
{
    QString text;
    auto watcher = WhenOpen<QMessageBox>([&text](QMessageBox* box) {
        text = box->text();
        box->accept();
    });
    action();
    return text;
}

// Types text as an input method commits it, one character at a time: the way
// Korean reaches a widget (key clicks carry Latin-1 only).
inline void CommitText(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        QInputMethodEvent event;
        event.setCommitString(QString(c));
        QApplication::sendEvent(widget, &event);
    }
}

// The name a screen reader gives the widget.
inline QString AccessibleName(QWidget* widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face != nullptr ? face->text(QAccessible::Name) : QString();
}
