#pragma once

#include "ColourRef.h"

#include <QPushButton>

// A button filled with its colour and framed in black. Clicking it runs the
// one colour choice every dialog uses: the popup of fixed colours under the
// button, and from its "Custom..." button the colour picker.
class CColourButton : public QPushButton
{
    Q_OBJECT

public:
    explicit CColourButton(QWidget* parent = nullptr);

    ColourRef Colour() const { return colour_; }
    void SetColour(ColourRef colour);

    // Runs the popup and, through "Custom...", the picker, both modal. Returns
    // true when a colour was chosen; the button then holds and shows it, and
    // the colour heads the recent colours.
    bool ChooseColour();

signals:
    void ColourChosen(ColourRef colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ColourRef colour_ = kWhite;
};
