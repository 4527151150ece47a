#pragma once

#include <QString>

#include <functional>

class QWidget;

// The editor's refusals: a message box with the text and an OK button. Tests
// put a hook in its place to see the text without a modal box.
class CMessageBox
{
public:
    using Hook = std::function<void(const QString& text)>;

    static void Show(QWidget* parent, const QString& text);
    // Replaces the box by `hook` until it is reset with an empty hook.
    static void SetHook(Hook hook);

private:
    static Hook& CurrentHook();
};
