#include "CPlaceholderPanel.h"

#include <QPainter>

CPlaceholderPanel::CPlaceholderPanel(const QString& caption, QWidget* parent)
    : QWidget(parent), caption_(caption)
{
    setAutoFillBackground(true);
}

void CPlaceholderPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Disabled, QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignCenter, caption_);
}
