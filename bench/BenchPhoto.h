#pragma once

#include <QImage>
#include <QRandomGenerator>

#include <algorithm>

// A photo-like 6000 × 4000 picture: gradients with noise.
inline QImage BenchPhoto()
{
    QImage photo(6000, 4000, QImage::Format_RGB32);
    QRandomGenerator noise(6);
    for (int y = 0; y < photo.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x) {
            const int n = int(noise.bounded(24));
            row[x] = qRgb(std::min(255, x / 30 + n), std::min(255, y / 20 + n),
                          std::min(255, (x + y) / 45 + n));
        }
    }
    return photo;
}
