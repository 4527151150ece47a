#pragma once

#include <QImage>

// The picture in one of the two 4-byte layouts a pixel loop reads: `opaque`
// for pictures without alpha, `withAlpha` for the others. A picture already
// in one of them is returned as it is (sharing its pixels).
inline QImage InLayout(QImage source, QImage::Format opaque, QImage::Format withAlpha)
{
    if (source.format() == opaque || source.format() == withAlpha) {
        return source;
    }
    return source.convertToFormat(source.hasAlphaChannel() ? withAlpha : opaque);
}
