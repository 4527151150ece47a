#pragma once

#include "ProjectContent.h"

#include <QString>

// Writes a picture as a layered OpenRaster file: the "mimetype" entry first
// and stored, stack.xml, one layer per item (drawn with its effects and
// outline onto a transparent layer of the picture's size; the base picture
// at the bottom) under data/, the flattened picture as mergedimage.png and a
// thumbnail of at most 256 pixels a side. Written through a temporary file
// that replaces the target only once complete.
class COraExporter
{
public:
    static constexpr int kThumbnailSize = 256;

    // The layer's name: "배경" for the base picture, the file name of a
    // picture item's source, the first line of a text item's text.
    static QString LayerName(const CItem& item, int index);
    // False, with the reason in `error`, when it cannot be written. The
    // content's items are drawn, not changed.
    static bool Export(const ProjectContent& content, const QString& path, QString* error);
};
