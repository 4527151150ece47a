#pragma once

#include "CTextItem.h"

#include <QTextCharFormat>

// The text box of the text dialog keeps its format as Qt's character format
// with sizes in points; a text item keeps the rich-edit record with sizes in
// twips. One point of the box is one pixel of the picture.
namespace RichTextFormat {

// The fields of `format` that `mask` names, as a Qt format that sets only
// those properties (a style bit not in the mask is left as the text has it).
QTextCharFormat ToTextFormat(const CharFormat& format, uint32_t mask);
// The face, size, colour and style of a Qt format, with all of them masked.
CharFormat FromTextFormat(const QTextCharFormat& format);

} // namespace RichTextFormat
