#pragma once

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

class CValueSlider;

// What screen readers and UI automation see of a CValueSlider: a slider
// with its accessible name, its position as the value, and the range.
// Setting the value moves the thumb as a key would, so the page hears of it.
class CValueSliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit CValueSliderAccessible(CValueSlider* slider);

    // Registers the interface for every CValueSlider (once per process).
    static void Install();

    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text t) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    CValueSlider* Slider() const;
};
