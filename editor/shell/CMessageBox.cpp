#include "CMessageBox.h"

#include <QApplication>
#include <QMessageBox>

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
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), text, QMessageBox::Ok,
                    parent);
    box.exec();
}

void CMessageBox::SetHook(Hook hook)
{
    CurrentHook() = std::move(hook);
}
