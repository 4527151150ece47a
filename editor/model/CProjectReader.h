#pragma once

#include "ProjectContent.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Reads a project package through the ZIP reader the unpacker uses, with all
// of its checks on hostile packages. Everything is read and checked before
// anything is handed out: a refused project changes nothing. Refused: a
// damaged or hostile package, a manifest that does not parse or is from a
// newer version, absurd coordinates, more than 10000 items, a named bitmap
// that is missing or not a picture, entries larger than a picture can be.
class CProjectReader
{
public:
    // The largest manifest and the largest bitmap entry read.
    static constexpr qint64 kMaxManifestBytes = 64 * 1024 * 1024;
    static constexpr qint64 kMaxBitmapBytes = qint64(1) << 30;

    // The project; none, with the reason in the user's words in `error`,
    // when it is refused.
    static std::optional<ProjectContent> Read(const QString& path, QString* error);
    // Whether a path names a project file (by its extension).
    static bool IsProjectPath(const QString& path);
    // Decodes one PNG bitmap of a project, refusing sizes beyond what a
    // picture file may announce; a null image when it cannot be read.
    static QImage DecodeBitmap(const QByteArray& png);
};
