#include "CCategoryTabStripAccessible.h"

#include "CCategoryTabStrip.h"
#include "CPartAccessible.h"

namespace {

// One page tab of a strip; "set focus" also gives the strip the keyboard.
class CCategoryTabAccessible : public CPartAccessible
{
public:
    CCategoryTabAccessible(CCategoryTabStrip* strip, int index) : CPartAccessible(strip, index) {}

    QAccessible::Role role() const override { return QAccessible::PageTab; }

    QAccessible::State state() const override
    {
        QAccessible::State state = CPartAccessible::state();
        if (isValid()) {
            state.offscreen = !Strip()->rect().intersects(LocalRect());
        }
        return state;
    }

    QStringList actionNames() const override { return {pressAction(), setFocusAction()}; }
    void doAction(const QString& name) override
    {
        if (!isValid()) {
            return;
        }
        if (name == setFocusAction()) {
            Strip()->setFocus(Qt::OtherFocusReason);
        }
        Press();
    }

protected:
    QString Name() const override { return Strip()->Caption(Index()); }
    QRect LocalRect() const override { return Strip()->TabShape(Index()).boundingRect(); }
    void Press() override { Strip()->ActivateTab(Index()); }

private:
    CCategoryTabStrip* Strip() const { return static_cast<CCategoryTabStrip*>(Owner()); }
};

} // namespace

CCategoryTabStripAccessible::CCategoryTabStripAccessible(CCategoryTabStrip* strip)
    : CPartsAccessible(strip, QAccessible::PageTabList)
{}

void CCategoryTabStripAccessible::Install()
{
    InstallPartsFactory<CCategoryTabStrip, CCategoryTabStripAccessible>();
}

CCategoryTabStrip* CCategoryTabStripAccessible::Strip() const
{
    return static_cast<CCategoryTabStrip*>(widget());
}

int CCategoryTabStripAccessible::PartCount() const
{
    return Strip()->Count();
}

int CCategoryTabStripAccessible::CurrentPart() const
{
    return Strip()->CurrentTab();
}

QAccessibleInterface* CCategoryTabStripAccessible::MakePart(int index) const
{
    return new CCategoryTabAccessible(Strip(), index);
}

int CCategoryTabStripAccessible::PartAt(QPoint local) const
{
    return Strip()->TabAt(local);
}
