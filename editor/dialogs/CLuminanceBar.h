#pragma once

#include <QWidget>

// A strip of the working hue and saturation from luminance 1 at the top to 0
// at the bottom, with a pointer on its right at the working luminance.
// Dragging the pointer moves the luminance and announces it.
class CLuminanceBar : public QWidget
{
    Q_OBJECT

public:
    explicit CLuminanceBar(QWidget* parent = nullptr);

    // Shows a colour without telling anyone.
    void SetColour(float hue, float saturation, float luminance);
    float Luminance() const { return luminance_; }
    int PointerY() const;

signals:
    void LuminanceChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void TrackTo(int y);
    int StripHeight() const;

    float hue_ = 0;
    float saturation_ = 0;
    float luminance_ = 0;
};
