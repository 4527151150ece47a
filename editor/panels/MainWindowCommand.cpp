#include "MainWindowCommand.h"

#include <QAction>
#include <QWidget>

void RunMainWindowCommand(const QWidget* widget, int id)
{
    for (QAction* action : widget->window()->actions()) {
        if (action->data().toInt() == id) {
            action->trigger();
            return;
        }
    }
}
