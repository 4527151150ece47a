#pragma once

#include "CItem.h"

#include <QSizeF>
#include <QString>

#include <memory>
#include <vector>

class CItemCanvas;

// The picture as a project holds it: the base size and the items bottom to
// top (the base picture first), plus the file the work belongs to when a
// recovery project names it.
struct ProjectContent
{
    QSizeF baseSize;
    std::vector<std::unique_ptr<CItem>> items;
    QString documentPath;

    // A copy of the canvas's items that shares their bitmaps: cheap enough
    // for the GUI thread, and safe to read on another thread while the
    // canvas goes on changing (a changed bitmap is copied first).
    static ProjectContent Snapshot(const CItemCanvas& canvas);
    // The same kind of copy of this content.
    ProjectContent Copy() const;
    // A copy of an item that shares its bitmap.
    static std::unique_ptr<CItem> SharedCopy(const CItem& item);
    // Hands the items to an empty canvas at zoom 1, which takes the base size.
    void MoveInto(CItemCanvas& canvas);
};
