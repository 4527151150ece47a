#pragma once

#include "CItem.h"

#include <QSizeF>

#include <memory>
#include <unordered_map>
#include <vector>

class CItemCanvas;

// The canvas's items at one moment, for the undo history: copies that share
// their bitmaps with the canvas (implicit sharing), so a snapshot of an
// unchanged picture costs no pixels. A snapshot never changes once taken,
// except for the selection, which follows the view until the next edit.
class CCanvasSnapshot
{
public:
    // Bytes of each distinct picture held, by its cache key.
    using BitmapBytes = std::unordered_map<qint64, qint64>;

    static std::shared_ptr<CCanvasSnapshot> Take(const CItemCanvas& canvas, int selected);

    // Puts copies of the items back on the canvas.
    void RestoreTo(CItemCanvas& canvas) const;

    int Count() const { return int(items_.size()); }
    // Out of range gives none.
    const CItem* ItemAt(int index) const;
    QSizeF BaseSize() const { return baseSize_; }
    int Selected() const { return selected_; }
    void SetSelected(int selected) { selected_ = selected; }
    // Adds every picture the items hold, each once.
    void CollectBitmaps(BitmapBytes& bitmaps) const;

private:
    std::vector<std::unique_ptr<CItem>> items_;
    QSizeF baseSize_;
    int selected_ = -1;
};
