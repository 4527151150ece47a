#pragma once

#include <QAccessibleWidget>
#include <QHash>

class CCategoryTabStrip;

// What assistive technology sees of a CCategoryTabStrip: a page tab list
// whose children are its page tabs. Each tab is named by its caption, is
// selected while current, and has a "press" action that switches to it as a
// click does.
class CCategoryTabStripAccessible : public QAccessibleWidget
{
public:
    explicit CCategoryTabStripAccessible(CCategoryTabStrip* strip);
    ~CCategoryTabStripAccessible() override;

    // Registers the factory that gives every strip this interface; safe to
    // call more than once.
    static void Install();

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

private:
    CCategoryTabStrip* Strip() const;

    mutable QHash<int, QAccessible::Id> tabs_;
};
