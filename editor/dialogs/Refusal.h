#pragma once

#include <QString>

class QWidget;

// Tells the user why something was refused, in a message box with an OK button.
void ShowRefusal(QWidget* parent, const QString& text);
