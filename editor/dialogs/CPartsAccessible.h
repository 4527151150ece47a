#pragma once

#include <QAccessibleWidget>
#include <QHash>
#include <QString>

// What assistive technology sees of a widget that draws parts of its own
// (tabs, colour cells): its first children are those parts, by index, and
// its child widgets follow them. Each part's interface is made on first
// use and lives as long as this one.
class CPartsAccessible : public QAccessibleWidget
{
public:
    CPartsAccessible(QWidget* widget, QAccessible::Role role);
    ~CPartsAccessible() override;

    // Tells assistive technology that the part at index became the current
    // one of widget, and its focus when the widget has the keyboard.
    static void NotifyCurrent(QWidget* widget, int index);

    virtual int PartCount() const = 0;
    // The current part (selected, and focused with the widget), or -1.
    virtual int CurrentPart() const = 0;

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

protected:
    virtual QAccessibleInterface* MakePart(int index) const = 0;
    // The part under a point of the widget, or -1.
    virtual int PartAt(QPoint local) const = 0;

private:
    mutable QHash<int, QAccessible::Id> parts_;
};

// The factory that gives every Widget (not its subclasses) an Accessible.
template <typename Widget, typename Accessible>
QAccessibleInterface* PartsFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String(Widget::staticMetaObject.className())) {
        if (auto* widget = qobject_cast<Widget*>(object)) {
            return new Accessible(widget);
        }
    }
    return nullptr;
}

// Registers that factory; safe to call more than once.
template <typename Widget, typename Accessible> void InstallPartsFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(PartsFactory<Widget, Accessible>);
        return true;
    }();
    (void)installed;
}
