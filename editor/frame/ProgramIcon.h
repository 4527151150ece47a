#pragma once

#include <QIcon>

// The editor's program icon, drawn at the sizes the window manager and the
// about box ask for.
QIcon ProgramIcon();
