#include "CPartAccessible.h"

#include "CPartsAccessible.h"

bool CPartAccessible::isValid() const
{
    const CPartsAccessible* parts = Parts();
    return parts != nullptr && index_ < parts->PartCount();
}

QWindow* CPartAccessible::window() const
{
    return parent()->window();
}

QAccessibleInterface* CPartAccessible::parent() const
{
    return QAccessible::queryAccessibleInterface(owner_);
}

const CPartsAccessible* CPartAccessible::Parts() const
{
    return owner_ != nullptr ? dynamic_cast<const CPartsAccessible*>(parent()) : nullptr;
}

QString CPartAccessible::text(QAccessible::Text kind) const
{
    return isValid() && kind == QAccessible::Name ? Name() : QString();
}

QAccessible::State CPartAccessible::state() const
{
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    const bool current = Parts()->CurrentPart() == index_;
    state.focusable = true;
    state.selectable = true;
    state.selected = current;
    state.focused = current && owner_->hasFocus();
    state.invisible = !owner_->isVisible();
    return state;
}

QRect CPartAccessible::rect() const
{
    if (!isValid()) {
        return {};
    }
    const QRect local = LocalRect();
    return QRect(owner_->mapToGlobal(local.topLeft()), local.size());
}

void* CPartAccessible::interface_cast(QAccessible::InterfaceType type)
{
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                : nullptr;
}

void CPartAccessible::doAction(const QString& name)
{
    if (isValid() && name == pressAction()) {
        Press();
    }
}
