#include "CDecorationButton.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

CDecorationButton::CDecorationButton(QWidget* parent) : QAbstractButton(parent)
{
    setFixedSize(sizeHint());
    setFocusPolicy(Qt::NoFocus);
}

void CDecorationButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF shift = isDown() ? QPointF(1, 1) : QPointF(0, 0);
    // Three small stars, sunk by a pixel while the button is down.
    const QColor colours[] = {QColor(255, 190, 40), QColor(120, 190, 255), QColor(255, 120, 170)};
    for (int star = 0; star < 3; ++star) {
        const QPointF centre = QPointF(12 + star * 20, star == 1 ? 11 : 16) + shift;
        QPainterPath path;
        for (int point = 0; point < 10; ++point) {
            const double radius = point % 2 == 0 ? 8.0 : 3.5;
            const double angle = -std::numbers::pi / 2 + point * std::numbers::pi / 5;
            const QPointF at = centre + QPointF(std::cos(angle), std::sin(angle)) * radius;
            point == 0 ? path.moveTo(at) : path.lineTo(at);
        }
        path.closeSubpath();
        painter.setPen(QPen(colours[star].darker(140), 1));
        painter.setBrush(colours[star]);
        painter.drawPath(path);
    }
}
