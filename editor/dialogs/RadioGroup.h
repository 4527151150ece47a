#pragma once

#include <QStringList>

class QButtonGroup;
class QWidget;

// Radio buttons with the given captions, ids 0, 1, … in that order and named
// "choice0", "choice1", …; the first is checked. The caller lays them out
// (QButtonGroup::button(id)).
QButtonGroup* MakeRadioGroup(QWidget* parent, const QStringList& captions);
