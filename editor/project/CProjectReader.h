#pragma once

#include "CBitmap.h"
#include "ProjectContent.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Reads a project package through the ZIP reader the unpacker uses, with all
// of its checks on hostile packages. The manifest is read first, then only
// the bitmaps it names, each once. Everything is read and checked before
// anything is handed out: a refused project changes nothing. Refused: a
// damaged or hostile package, a manifest that does not parse or is from a
// newer version, absurd coordinates, more than 10000 items, a named bitmap
// that is missing or not a picture, and a project beyond its budget (checked
// against the declared sizes before the memory is spent): more inflated
// bytes or decoded pixels than below, more text than the manifest allows, a
// base size other than its bitmap's.
class CProjectReader
{
public:
    // The largest manifest read, and the budgets of a whole project: the
    // manifest and its bitmaps inflated, and the bitmaps' pixels (the
    // largest picture the editor opens, and half again).
    static constexpr qint64 kMaxManifestBytes = 64 * 1024 * 1024;
    static constexpr qint64 kMaxInflatedBytes = qint64(1) << 30;
    static constexpr qint64 kMaxPixels = CBitmap::kMaxDecodePixels * 3 / 2;

    // The project; none, with the reason in the user's words in `error`,
    // when it is refused.
    static std::optional<ProjectContent> Read(const QString& path, QString* error);
    // Whether a path names a project file (by its extension).
    static bool IsProjectPath(const QString& path);
    // Decodes one PNG bitmap of a project, refusing sizes beyond what a
    // picture file may announce; a null image when it cannot be read.
    static QImage DecodeBitmap(const QByteArray& png);
};
