#pragma once

#include <QByteArray>
#include <QImage>

// A PNG writer for large pictures that uses every core: the rows are split
// into one band per core; each band is filtered (the "up" filter, one pass
// that the vectoriser handles) and deflated at level 1 on its own thread,
// ending on a byte boundary, and the bands are joined into one zlib stream
// with the Adler-32 combined. An opaque picture is written as RGB, any
// other as RGBA (unpremultiplied as Qt does); the resolution goes into pHYs.
// Any PNG reader reads the result.
class CPngBandWriter
{
public:
    // The PNG; empty when it cannot be written. Throws std::bad_alloc when a
    // band's buffers cannot be allocated.
    static QByteArray Encode(const QImage& picture);
};
