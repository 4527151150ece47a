#include "CColourSpectrum.h"

#include "CColourValue.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kArmGap = 3;
constexpr int kArmLength = 5;
constexpr int kArmThickness = 2;
// The spectrum shows every hue and saturation at middle luminance.
constexpr float kShownLuminance = 0.5f;

} // namespace

CColourSpectrum::CColourSpectrum(QWidget* parent) : QWidget(parent)
{
    setFixedSize(200, 180);
    setCursor(Qt::CrossCursor);
}

void CColourSpectrum::SetHueSaturation(float hue, float saturation)
{
    hue_ = hue;
    saturation_ = saturation;
    update();
}

QPoint CColourSpectrum::Crosshair() const
{
    return QPoint(int(std::lround(hue_ * float(width()) / 360)),
                  height() - int(std::lround(saturation_ * float(height()))));
}

void CColourSpectrum::resizeEvent(QResizeEvent*)
{
    picture_ = QImage(size(), QImage::Format_RGB32);
    for (int y = 0; y < height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture_.scanLine(y));
        const float saturation = 1 - float(y) / float(height());
        for (int x = 0; x < width(); ++x) {
            const ColourRef colour =
                CColourValue::FromHsl(float(x) * 360 / float(width()), saturation, kShownLuminance);
            line[x] = qRgb(RedOf(colour), GreenOf(colour), BlueOf(colour));
        }
    }
}

void CColourSpectrum::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
    const QPoint centre = Crosshair();
    const QColor colour = held_ ? Qt::black : Qt::white;
    const int near = kArmGap;
    const int far = kArmGap + kArmLength;
    const int half = kArmThickness / 2;
    painter.fillRect(centre.x() - far, centre.y() - half, kArmLength, kArmThickness, colour);
    painter.fillRect(centre.x() + near, centre.y() - half, kArmLength, kArmThickness, colour);
    painter.fillRect(centre.x() - half, centre.y() - far, kArmThickness, kArmLength, colour);
    painter.fillRect(centre.x() - half, centre.y() + near, kArmThickness, kArmLength, colour);
}

void CColourSpectrum::TrackTo(QPoint point)
{
    const int x = std::clamp(point.x(), 0, width());
    const int y = std::clamp(point.y(), 0, height());
    hue_ = std::min(float(x) * 360 / float(width()) + 0.5f, 360.0f);
    saturation_ = std::min(1 - float(y) / float(height()), 1.0f);
    update();
    emit HueSaturationChanged(hue_, saturation_);
}

void CColourSpectrum::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        held_ = true;
        TrackTo(event->position().toPoint());
    }
}

void CColourSpectrum::mouseMoveEvent(QMouseEvent* event)
{
    if (held_) {
        TrackTo(event->position().toPoint());
    }
}

void CColourSpectrum::mouseReleaseEvent(QMouseEvent* event)
{
    if (held_ && event->button() == Qt::LeftButton) {
        held_ = false;
        update();
    }
}
