#include "CValueSliderAccessible.h"

#include "CValueSlider.h"

namespace {

QAccessibleInterface* SliderFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("CValueSlider") && object != nullptr && object->isWidgetType()) {
        return new CValueSliderAccessible(static_cast<CValueSlider*>(object));
    }
    return nullptr;
}

} // namespace

CValueSliderAccessible::CValueSliderAccessible(CValueSlider* slider)
    : QAccessibleWidget(slider, QAccessible::Slider)
{}

void CValueSliderAccessible::Install()
{
    static const bool installed = [] {
        QAccessible::installFactory(SliderFactory);
        return true;
    }();
    (void)installed;
}

CValueSlider* CValueSliderAccessible::Slider() const
{
    return static_cast<CValueSlider*>(widget());
}

void* CValueSliderAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ValueInterface) {
        return static_cast<QAccessibleValueInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QString CValueSliderAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value) {
        return QString::number(Slider()->Position());
    }
    return QAccessibleWidget::text(t);
}

QVariant CValueSliderAccessible::currentValue() const
{
    return Slider()->Position();
}

void CValueSliderAccessible::setCurrentValue(const QVariant& value)
{
    CValueSlider* slider = Slider();
    if (!slider->isEnabled()) {
        return;
    }
    slider->SetPosition(value.toInt());
    emit slider->Set(slider->Id(), slider->Position());
}

QVariant CValueSliderAccessible::maximumValue() const
{
    return Slider()->Maximum();
}

QVariant CValueSliderAccessible::minimumValue() const
{
    return Slider()->Minimum();
}

QVariant CValueSliderAccessible::minimumStepSize() const
{
    return 1;
}
