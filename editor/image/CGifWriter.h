#pragma once

#include <QIODevice>
#include <QImage>

// Writes a picture as a GIF: one 8-bit palette frame. Pictures with at most
// 256 colours keep them exactly; others are quantised. Fully transparent
// pixels stay transparent through the transparent palette index.
class CGifWriter
{
public:
    static bool Write(const QImage& image, QIODevice& device);
};
