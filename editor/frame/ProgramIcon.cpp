#include "ProgramIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>

namespace {

QPixmap Draw(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    QLinearGradient fill(0, 0, 0, 32);
    fill.setColorAt(0, QColor(255, 150, 200));
    fill.setColorAt(1, QColor(210, 50, 120));
    painter.setPen(QPen(QColor(150, 20, 90), 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 7, 7);
    // A white photo frame with a yellow star on it.
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(6, 8, 20, 16), 2, 2);
    painter.setBrush(QColor(120, 190, 255));
    painter.drawRect(QRectF(8, 10, 16, 12));
    painter.setBrush(QColor(255, 210, 40));
    QPolygonF star;
    for (int point = 0; point < 10; ++point) {
        const double radius = point % 2 == 0 ? 6.0 : 2.6;
        QTransform turn;
        turn.rotate(36.0 * point);
        star << turn.map(QPointF(0, -radius)) + QPointF(16, 16.5);
    }
    painter.drawPolygon(star);
    return pixmap;
}

} // namespace

QIcon ProgramIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64}) {
        icon.addPixmap(Draw(size));
    }
    return icon;
}
