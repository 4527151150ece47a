#pragma once

#include "Messages.h"

#include <QPointF>
#include <QSizeF>

#include <vector>

class CItemCanvas;
class CPlacementTeller;

// Puts the items of a drop on the canvas, each centred on the drop point,
// and tells the panels of each one placed. An item from the library comes
// in at its library size for the picture and zoom; a picture at its own.
class CDroppedItems
{
public:
    CDroppedItems(CItemCanvas& canvas, const CPlacementTeller& placements)
        : canvas_(canvas), placements_(placements)
    {}

    // Whether any item was placed; `centre` in picture pixels at the zoom.
    bool Place(const std::vector<msg::ItemDropEntry>& entries, const QPointF& centre,
               const QSizeF& pictureSize, double zoom) const;

private:
    CItemCanvas& canvas_;
    const CPlacementTeller& placements_;
};
