#include "CValueSlider.h"

#include "CValueSliderAccessible.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>
#include <cmath>

CValueSlider::CValueSlider(int id, QWidget* parent) : QWidget(parent), id_(id)
{
    CValueSliderAccessible::Install();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
}

void CValueSlider::SetRange(int minimum, int maximum)
{
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    SetPosition(position_);
    update();
}

void CValueSlider::SetPosition(int position)
{
    const int clamped = std::clamp(position, minimum_, maximum_);
    if (clamped == position_) {
        return;
    }
    position_ = clamped;
    update();
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(this, position_);
        QAccessible::updateAccessibility(&event);
    }
}

void CValueSlider::SetStep(float step)
{
    step_ = step;
    update();
}

void CValueSlider::SetMarker(float marker)
{
    marker_ = marker;
    update();
}

int CValueSlider::PositionOf(double value, float step)
{
    return int(std::lround(value / double(step)));
}

QStyleOptionSlider CValueSlider::StyleOption(int position) const
{
    QStyleOptionSlider option;
    option.initFrom(this);
    option.rect.setHeight(std::max(1, height() - kMarkerStrip));
    option.orientation = Qt::Horizontal;
    option.minimum = minimum_;
    option.maximum = maximum_;
    option.sliderPosition = position;
    option.sliderValue = position;
    option.singleStep = 1;
    option.pageStep = kPageSize;
    option.tickPosition = QSlider::NoTicks;
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    if (press_ == Press::Drag) {
        option.activeSubControls = QStyle::SC_SliderHandle;
        option.state |= QStyle::State_Sunken;
    }
    return option;
}

QRect CValueSlider::ThumbRectAt(int position) const
{
    const QStyleOptionSlider option = StyleOption(position);
    return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
}

QRect CValueSlider::ThumbRect() const
{
    return ThumbRectAt(position_);
}

int CValueSlider::CentreOf(int position) const
{
    return ThumbRectAt(std::clamp(position, minimum_, maximum_)).center().x();
}

QRect CValueSlider::MarkerRect() const
{
    const int x = CentreOf(MarkerPosition());
    return QRect(x - 4, height() - kMarkerStrip - 1, 9, kMarkerStrip + 1);
}

int CValueSlider::PositionAt(int thumbCentreX) const
{
    const QStyleOptionSlider option = StyleOption(position_);
    const QRect groove =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const int thumbWidth = ThumbRect().width();
    const int span = std::max(1, groove.width() - thumbWidth);
    const int offset = thumbCentreX - groove.left() - thumbWidth / 2;
    return QStyle::sliderValueFromPosition(minimum_, maximum_, std::clamp(offset, 0, span), span);
}

QSize CValueSlider::sizeHint() const
{
    return QSize(142, 19);
}

void CValueSlider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOptionSlider option = StyleOption(position_);
    style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);

    // The marker: a small upward triangle under the groove.
    const QRect marker = MarkerRect();
    const int x = marker.center().x();
    const int bottom = height() - 1;
    const QPoint triangle[] = {{x, bottom - kMarkerStrip + 1}, {x - 3, bottom}, {x + 3, bottom}};
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colour =
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);
    painter.setPen(colour);
    painter.setBrush(colour);
    painter.drawPolygon(triangle, 3);

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

bool CValueSlider::MoveTo(int position)
{
    const int before = position_;
    SetPosition(position);
    return position_ != before;
}

void CValueSlider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        event->ignore();
        return;
    }
    const QPoint at = event->position().toPoint();
    if (MarkerRect().contains(at)) {
        press_ = Press::Marker;
        MoveTo(MarkerPosition());
        return;
    }
    press_ = Press::Drag;
    const QRect thumb = ThumbRect();
    if (std::abs(at.x() - thumb.center().x()) <= thumb.width() / 2) {
        grabOffset_ = thumb.center().x() - at.x();
    } else {
        grabOffset_ = 0;
        if (MoveTo(PositionAt(at.x()))) {
            emit Moved(id_, position_);
        }
    }
    update();
}

void CValueSlider::mouseMoveEvent(QMouseEvent* event)
{
    if (press_ != Press::Drag) {
        return;
    }
    if (MoveTo(PositionAt(int(event->position().x()) + grabOffset_))) {
        emit Moved(id_, position_);
    }
}

void CValueSlider::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || press_ == Press::None) {
        return;
    }
    DropPress();
    emit Set(id_, position_);
}

void CValueSlider::keyPressEvent(QKeyEvent* event)
{
    int target = position_;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        target = position_ - 1;
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        target = position_ + 1;
        break;
    case Qt::Key_PageUp:
        target = position_ - kPageSize;
        break;
    case Qt::Key_PageDown:
        target = position_ + kPageSize;
        break;
    case Qt::Key_Home:
        target = minimum_;
        break;
    case Qt::Key_End:
        target = maximum_;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    MoveTo(target);
    emit Set(id_, position_);
}

void CValueSlider::changeEvent(QEvent* event)
{
    // A slider that becomes disabled drops a drag in progress, unannounced.
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        DropPress();
    }
    QWidget::changeEvent(event);
}

void CValueSlider::DropPress()
{
    press_ = Press::None;
    update();
}
