#include "CPageHeaderButton.h"

#include <QLinearGradient>
#include <QPainter>
#include <QStyleOptionFocusRect>

CPageHeaderButton::CPageHeaderButton(const QString& caption, bool toggles, QWidget* parent)
    : QAbstractButton(parent)
{
    setText(caption);
    setAccessibleName(caption);
    setCheckable(toggles);
    setFocusPolicy(toggles ? Qt::StrongFocus : Qt::NoFocus);
    setGeometry(0, 0, kWidth, kHeight);
}

void CPageHeaderButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = rect();
    // Released: a light bar; pressed (expanded): a deeper blue-grey one.
    const bool expanded = isChecked();
    QLinearGradient fill(area.topLeft(), area.bottomLeft());
    fill.setColorAt(0, expanded ? QColor(196, 210, 232) : QColor(250, 250, 252));
    fill.setColorAt(1, expanded ? QColor(150, 170, 204) : QColor(214, 218, 226));
    painter.fillRect(area, fill);
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(area.adjusted(0, 0, -1, -1));

    QFont font = this->font();
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(isEnabled() ? QColor(32, 40, 56) : QColor(140, 140, 140));
    painter.drawText(area.adjusted(10, 0, -24, 0), Qt::AlignVCenter | Qt::AlignLeft, text());
    if (isCheckable()) {
        PaintArrow(painter);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = area.adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void CPageHeaderButton::PaintArrow(QPainter& painter) const
{
    const QPointF centre(width() - 14, height() / 2.0);
    QPolygonF arrow;
    if (isChecked()) { // pointing down: expanded
        arrow << centre + QPointF(-4, -2) << centre + QPointF(4, -2) << centre + QPointF(0, 3);
    } else { // pointing right: collapsed
        arrow << centre + QPointF(-2, -4) << centre + QPointF(3, 0) << centre + QPointF(-2, 4);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(32, 40, 56));
    painter.drawPolygon(arrow);
}
