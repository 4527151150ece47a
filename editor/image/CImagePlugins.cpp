#include "CImagePlugins.h"

#include <QImageReader>
#include <QImageWriter>

void CImagePlugins::Load()
{
    // Listing the formats asks every plugin for its capabilities, which
    // makes each one.
    static const bool loaded = [] {
        QImageReader::supportedImageFormats();
        QImageWriter::supportedImageFormats();
        return true;
    }();
    (void)loaded;
}
