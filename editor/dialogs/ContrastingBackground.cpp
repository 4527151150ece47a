#include "ContrastingBackground.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

// Below this ratio of lightness text is hard to read (the ratio large
// text needs for accessibility).
constexpr double kLeastContrast = 3.0;

const QColor kDark(64, 64, 64);

double Channel(double value)
{
    return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

// Relative luminance of a screen colour, 0 (black) … 1 (white).
double Luminance(const QColor& colour)
{
    return 0.2126 * Channel(colour.redF()) + 0.7152 * Channel(colour.greenF()) +
           0.0722 * Channel(colour.blueF());
}

// 1 (the same lightness) … 21 (black on white).
double Contrast(const QColor& one, const QColor& other)
{
    const double a = Luminance(one) + 0.05;
    const double b = Luminance(other) + 0.05;
    return std::max(a, b) / std::min(a, b);
}

} // namespace

QColor ContrastingBackground(const QColor& text, const QColor& usual)
{
    if (Contrast(text, usual) >= kLeastContrast) {
        return usual;
    }
    const QColor white(Qt::white);
    return Contrast(text, kDark) >= Contrast(text, white) ? kDark : white;
}

void ShowOnContrastingBase(QWidget* box, const QColor& text)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base,
                     ContrastingBackground(text, QApplication::palette(box).color(QPalette::Base)));
    palette.setColor(QPalette::Text, text);
    box->setPalette(palette);
}
