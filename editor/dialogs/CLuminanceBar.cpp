#include "CLuminanceBar.h"

#include "CColourValue.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kStripWidth = 14;
constexpr int kPointerSize = 6;
// The pointer reaches half its height past the strip at either end.
constexpr int kInset = kPointerSize;

} // namespace

CLuminanceBar::CLuminanceBar(QWidget* parent) : QWidget(parent)
{
    setFixedSize(kStripWidth + 4 + kPointerSize + 2, 180 + 2 * kInset);
}

void CLuminanceBar::SetColour(float hue, float saturation, float luminance)
{
    hue_ = hue;
    saturation_ = saturation;
    luminance_ = luminance;
    update();
}

int CLuminanceBar::StripHeight() const
{
    return height() - 2 * kInset;
}

int CLuminanceBar::PointerY() const
{
    return kInset + StripHeight() - int(std::lround(luminance_ * float(StripHeight())));
}

void CLuminanceBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int strip = StripHeight();
    for (int y = 0; y < strip; ++y) {
        const float luminance = 1 - float(y) / float(strip - 1);
        painter.fillRect(0, kInset + y, kStripWidth, 1,
                         ToQColor(CColourValue::FromHsl(hue_, saturation_, luminance)));
    }
    const int y = PointerY();
    const int left = kStripWidth + 3;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().windowText());
    painter.drawPolygon(QPolygon({QPoint(left, y), QPoint(left + kPointerSize, y - kPointerSize),
                                  QPoint(left + kPointerSize, y + kPointerSize)}));
}

void CLuminanceBar::TrackTo(int y)
{
    const int offset = std::clamp(kInset + StripHeight() - y, 0, StripHeight());
    luminance_ = float(offset) / float(StripHeight());
    update();
    emit LuminanceChanged();
}

void CLuminanceBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        TrackTo(event->position().toPoint().y());
    }
}

void CLuminanceBar::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton) {
        TrackTo(event->position().toPoint().y());
    }
}
