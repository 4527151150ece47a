#include "CPartsAccessible.h"

#include <QAccessible>
#include <QWidget>

CPartsAccessible::CPartsAccessible(QWidget* widget, QAccessible::Role role)
    : QAccessibleWidget(widget, role)
{}

CPartsAccessible::~CPartsAccessible()
{
    for (const QAccessible::Id id : std::as_const(parts_)) {
        QAccessible::deleteAccessibleInterface(id);
    }
}

void CPartsAccessible::NotifyCurrent(QWidget* widget, int index)
{
    if (index < 0 || !QAccessible::isActive()) {
        return;
    }
    QAccessibleEvent selection(widget, QAccessible::Selection);
    selection.setChild(index);
    QAccessible::updateAccessibility(&selection);
    if (widget->hasFocus()) {
        QAccessibleEvent focus(widget, QAccessible::Focus);
        focus.setChild(index);
        QAccessible::updateAccessibility(&focus);
    }
}

int CPartsAccessible::childCount() const
{
    return PartCount() + QAccessibleWidget::childCount();
}

QAccessibleInterface* CPartsAccessible::child(int index) const
{
    const int parts = PartCount();
    if (index >= parts) {
        return QAccessibleWidget::child(index - parts);
    }
    if (index < 0) {
        return nullptr;
    }
    if (const auto found = parts_.constFind(index); found != parts_.constEnd()) {
        return QAccessible::accessibleInterface(*found);
    }
    QAccessibleInterface* part = MakePart(index);
    parts_.insert(index, QAccessible::registerAccessibleInterface(part));
    return part;
}

int CPartsAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    const int parts = PartCount();
    for (int index = 0; index < parts; ++index) {
        if (this->child(index) == child) {
            return index;
        }
    }
    const int widgetIndex = QAccessibleWidget::indexOfChild(child);
    return widgetIndex < 0 ? -1 : parts + widgetIndex;
}

QAccessibleInterface* CPartsAccessible::childAt(int x, int y) const
{
    const int part = PartAt(widget()->mapFromGlobal(QPoint(x, y)));
    if (part >= 0 && part < PartCount()) {
        return child(part);
    }
    return QAccessibleWidget::childAt(x, y);
}

QAccessibleInterface* CPartsAccessible::focusChild() const
{
    return widget()->hasFocus() ? child(CurrentPart()) : QAccessibleWidget::focusChild();
}
