#pragma once

class QWidget;

// Triggers the command `id` of the window `widget` lives in: the window's
// actions carry their command ids as data.
void RunMainWindowCommand(const QWidget* widget, int id);
