#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>

// A 256 × 256 sticker: a coloured disc on a transparent ground, its hue
// taken from the seed.
inline QImage BenchSticker(int seed)
{
    QImage sticker(256, 256, QImage::Format_ARGB32_Premultiplied);
    sticker.fill(Qt::transparent);
    QPainter painter(&sticker);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor::fromHsv(seed * 37 % 360, 200, 230));
    painter.drawEllipse(QRectF(16, 16, 224, 224));
    return sticker;
}
