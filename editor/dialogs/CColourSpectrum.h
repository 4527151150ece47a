#pragma once

#include <QImage>
#include <QWidget>

// Hue from left to right and saturation from bottom to top, with a crosshair
// at the working hue and saturation. Pressing and dragging moves the crosshair.
class CColourSpectrum : public QWidget
{
    Q_OBJECT

public:
    explicit CColourSpectrum(QWidget* parent = nullptr);

    // Moves the crosshair without telling anyone.
    void SetHueSaturation(float hue, float saturation);
    float Hue() const { return hue_; }
    float Saturation() const { return saturation_; }
    QPoint Crosshair() const;
    bool Held() const { return held_; }

signals:
    void HueSaturationChanged(float hue, float saturation);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void TrackTo(QPoint point);

    QImage picture_;
    float hue_ = 0;
    float saturation_ = 0;
    bool held_ = false;
};
