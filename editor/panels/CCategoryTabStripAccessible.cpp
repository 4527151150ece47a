#include "CCategoryTabStripAccessible.h"

#include "CCategoryTabStrip.h"

#include <QPointer>

namespace {

// One page tab of a strip. It has no object of its own; it answers for the
// tab at its index as long as the strip has that many tabs.
class CCategoryTabAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    CCategoryTabAccessible(CCategoryTabStrip* strip, int index) : strip_(strip), index_(index) {}

    bool isValid() const override { return strip_ != nullptr && index_ < strip_->Count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return Parent()->window(); }

    QAccessibleInterface* parent() const override { return Parent(); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text kind) const override
    {
        return isValid() && kind == QAccessible::Name ? strip_->Caption(index_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::PageTab; }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        const bool current = strip_->CurrentTab() == index_;
        state.focusable = true;
        state.selectable = true;
        state.selected = current;
        state.focused = current && strip_->hasFocus();
        state.invisible = !strip_->isVisible();
        state.offscreen = !strip_->rect().intersects(strip_->TabShape(index_).boundingRect());
        return state;
    }

    QRect rect() const override
    {
        if (!isValid()) {
            return {};
        }
        const QRect local = strip_->TabShape(index_).boundingRect();
        return QRect(strip_->mapToGlobal(local.topLeft()), local.size());
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {pressAction(), setFocusAction()}; }
    void doAction(const QString& name) override
    {
        if (!isValid()) {
            return;
        }
        if (name == setFocusAction()) {
            strip_->setFocus(Qt::OtherFocusReason);
        }
        strip_->ActivateTab(index_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QAccessibleInterface* Parent() const { return QAccessible::queryAccessibleInterface(strip_); }

    QPointer<CCategoryTabStrip> strip_;
    int index_;
};

QAccessibleInterface* Factory(const QString& className, QObject* object)
{
    if (className == QLatin1String("CCategoryTabStrip")) {
        if (auto* strip = qobject_cast<CCategoryTabStrip*>(object)) {
            return new CCategoryTabStripAccessible(strip);
        }
    }
    return nullptr;
}

} // namespace

CCategoryTabStripAccessible::CCategoryTabStripAccessible(CCategoryTabStrip* strip)
    : QAccessibleWidget(strip, QAccessible::PageTabList)
{}

CCategoryTabStripAccessible::~CCategoryTabStripAccessible()
{
    for (const QAccessible::Id id : std::as_const(tabs_)) {
        QAccessible::deleteAccessibleInterface(id);
    }
}

void CCategoryTabStripAccessible::Install()
{
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

CCategoryTabStrip* CCategoryTabStripAccessible::Strip() const
{
    return static_cast<CCategoryTabStrip*>(widget());
}

int CCategoryTabStripAccessible::childCount() const
{
    return Strip()->Count();
}

QAccessibleInterface* CCategoryTabStripAccessible::child(int index) const
{
    if (index < 0 || index >= childCount()) {
        return nullptr;
    }
    if (const auto found = tabs_.constFind(index); found != tabs_.constEnd()) {
        return QAccessible::accessibleInterface(*found);
    }
    auto* tab = new CCategoryTabAccessible(Strip(), index);
    tabs_.insert(index, QAccessible::registerAccessibleInterface(tab));
    return tab;
}

int CCategoryTabStripAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    for (int index = 0; index < childCount(); ++index) {
        if (this->child(index) == child) {
            return index;
        }
    }
    return -1;
}

QAccessibleInterface* CCategoryTabStripAccessible::childAt(int x, int y) const
{
    return child(Strip()->TabAt(Strip()->mapFromGlobal(QPoint(x, y))));
}

QAccessibleInterface* CCategoryTabStripAccessible::focusChild() const
{
    return Strip()->hasFocus() ? child(Strip()->CurrentTab()) : nullptr;
}
