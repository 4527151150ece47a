#include "CLogoControl.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

CLogoControl::CLogoControl(std::function<void()> clicked, QWidget* parent)
    : QWidget(parent), clicked_(std::move(clicked))
{
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("아이템샵"));
    setFixedSize(sizeHint());
}

void CLogoControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF badge = QRectF(rect()).adjusted(2, 3, -2, -3);
    QLinearGradient fill(badge.topLeft(), badge.bottomLeft());
    fill.setColorAt(0, QColor(255, 140, 190));
    fill.setColorAt(1, QColor(220, 60, 130));
    painter.setPen(QPen(QColor(170, 30, 100), 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(badge, 10, 10);
    QFont font = painter.font();
    font.setBold(true);
    font.setItalic(true);
    font.setPixelSize(14);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(badge, Qt::AlignCenter, QStringLiteral("Pixvel"));
}

void CLogoControl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        clicked_();
    }
}
