#include "CDroppedItems.h"

#include "CItemCanvas.h"
#include "CPictureItem.h"
#include "CPlacementTeller.h"
#include "CViewLayout.h"

bool CDroppedItems::Place(const std::vector<msg::ItemDropEntry>& entries, const QPointF& centre,
                          const QSizeF& pictureSize, double zoom) const
{
    bool placed = false;
    for (const msg::ItemDropEntry& entry : entries) {
        CItem* item =
            entry.picture.isNull()
                ? canvas_.AddPictureFile(entry.path, centre.x(), centre.y())
                : canvas_.AddPictureBitmap(entry.picture, centre.x(), centre.y(), 0, 0, entry.path);
        if (item == nullptr) {
            continue;
        }
        if (entry.picture.isNull()) { // from the item library
            const QPainterPath outline = item->Outline();
            item->SetOutline(
                ViewLayout::LibraryItemPlacement(outline.boundingRect(), pictureSize, zoom)
                    .map(outline));
        }
        placements_.Placed(*item);
        placed = true;
    }
    return placed;
}
