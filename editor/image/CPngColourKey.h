#pragma once

#include <QImage>
#include <QString>

#include <optional>

// 16-bit RGB PNG files with a transparency colour (a tRNS chunk): Qt's
// decoder hands these over as coloured stripes, so they are decoded here
// without the chunk and the colour key is applied to the exact 16-bit
// samples afterwards.
class CPngColourKey
{
public:
    // The decoded picture when the file is such a PNG (a null picture when it
    // does not decode); none for every other file, which the caller decodes
    // as usual.
    static std::optional<QImage> Decode(const QString& path);
};
