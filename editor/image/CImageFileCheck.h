#pragma once

#include <QByteArray>
#include <QString>

// Checks a picture file for damage that the decoders would paper over:
// some decoders fill a cut-off picture with grey and report success.
class CImageFileCheck
{
public:
    // False when the file of the given format (a Qt format name, or "heif"
    // for HEIC and AVIF) is cut off.
    static bool IsComplete(const QString& path, const QByteArray& format);
};
