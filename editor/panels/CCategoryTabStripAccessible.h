#pragma once

#include "CPartsAccessible.h"

class CCategoryTabStrip;

// What assistive technology sees of a CCategoryTabStrip: a page tab list
// whose children are its page tabs. Each tab is named by its caption, is
// selected while current, and has a "press" action that switches to it as a
// click does.
class CCategoryTabStripAccessible : public CPartsAccessible
{
public:
    explicit CCategoryTabStripAccessible(CCategoryTabStrip* strip);

    // Registers the factory that gives every strip this interface; safe to
    // call more than once.
    static void Install();

    int PartCount() const override;
    int CurrentPart() const override;

protected:
    QAccessibleInterface* MakePart(int index) const override;
    int PartAt(QPoint local) const override;

private:
    CCategoryTabStrip* Strip() const;
};
