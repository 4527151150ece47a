#include "CMessageBox.h"

#include "Refusal.h"

CMessageBox::Hook& CMessageBox::CurrentHook()
{
    static Hook hook;
    return hook;
}

void CMessageBox::Show(QWidget* parent, const QString& text)
{
    if (CurrentHook()) {
        CurrentHook()(text);
        return;
    }
    ShowRefusal(parent, text);
}

void CMessageBox::SetHook(Hook hook)
{
    CurrentHook() = std::move(hook);
}
