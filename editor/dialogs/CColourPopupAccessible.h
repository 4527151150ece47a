#pragma once

#include "CPartsAccessible.h"

class CColourPopup;

// What assistive technology sees of a CColourPopup: a dialog whose first
// children are its colour cells, then its own widgets ("최근 색",
// "Custom..."). A cell is named by its colour as "#RRGGBB" (a recent one
// with "최근 색" before it), is selected while marked, and has a "press"
// action that picks it as a click does.
class CColourPopupAccessible : public CPartsAccessible
{
public:
    explicit CColourPopupAccessible(CColourPopup* popup);

    // Registers the factory that gives every popup this interface; safe to
    // call more than once.
    static void Install();

    int PartCount() const override;
    int CurrentPart() const override;

protected:
    QAccessibleInterface* MakePart(int index) const override;
    int PartAt(QPoint local) const override;

private:
    CColourPopup* Popup() const;
};
