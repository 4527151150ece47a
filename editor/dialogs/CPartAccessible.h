#pragma once

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QPointer>
#include <QWidget>

class CPartsAccessible;

// One drawn part of a widget (see CPartsAccessible). It has no object of
// its own; it answers for the part at its index while the widget has that
// many parts: named by Name(), at LocalRect() in the widget, selected (and
// focused with the widget) while it is the current part, and pressed by its
// "press" action.
class CPartAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    CPartAccessible(QWidget* owner, int index) : owner_(owner), index_(index) {}

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;

    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text kind) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::State state() const override;
    QRect rect() const override;

    void* interface_cast(QAccessible::InterfaceType type) override;
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

protected:
    QWidget* Owner() const { return owner_; }
    int Index() const { return index_; }

    virtual QString Name() const = 0;
    virtual QRect LocalRect() const = 0;
    virtual void Press() = 0;

private:
    const CPartsAccessible* Parts() const;

    QPointer<QWidget> owner_;
    int index_;
};
