#pragma once

#include <QColor>

class QWidget;

// A background on which text of colour `text` can be read: `usual` when the
// two differ enough in lightness, else dark grey or white, whichever stands
// further from the text (white text gets dark grey).
QColor ContrastingBackground(const QColor& text, const QColor& usual);

// Gives a text box a base that contrasts with text of colour `text`, and the
// text cursor that colour.
void ShowOnContrastingBase(QWidget* box, const QColor& text);
