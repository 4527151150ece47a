#pragma once

class QLabel;
class QString;
class QWidget;

// A caption label for `field`, beside it in the same parent: the field takes
// the caption (without its trailing colon) as its accessible name, so screen
// readers and UI automation find it by the text the user sees.
QLabel* BuddyLabel(const QString& caption, QWidget* field);
