#include "CCanvasSnapshot.h"

#include "CItemCanvas.h"
#include "CPictureItem.h"

std::shared_ptr<CCanvasSnapshot> CCanvasSnapshot::Take(const CItemCanvas& canvas, int selected)
{
    auto snapshot = std::make_shared<CCanvasSnapshot>();
    snapshot->items_ = canvas.CopyItems();
    snapshot->baseSize_ = canvas.BaseSize();
    snapshot->selected_ = selected;
    return snapshot;
}

void CCanvasSnapshot::RestoreTo(CItemCanvas& canvas) const
{
    std::vector<std::unique_ptr<CItem>> copies;
    copies.reserve(items_.size());
    for (const auto& item : items_) {
        copies.push_back(CItemCanvas::SharedCopy(*item));
    }
    canvas.RestoreItems(std::move(copies), baseSize_);
}

const CItem* CCanvasSnapshot::ItemAt(int index) const
{
    return index >= 0 && index < Count() ? items_[index].get() : nullptr;
}

void CCanvasSnapshot::CollectBitmaps(BitmapBytes& bitmaps) const
{
    for (const auto& item : items_) {
        const auto* picture = dynamic_cast<const CPictureItem*>(item.get());
        if (picture == nullptr) {
            continue;
        }
        for (const QImage* image : picture->Images()) {
            if (!image->isNull()) {
                bitmaps.emplace(image->cacheKey(), image->sizeInBytes());
            }
        }
    }
}
