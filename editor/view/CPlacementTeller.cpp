#include "CPlacementTeller.h"

#include "CItemCanvas.h"
#include "CPictureItem.h"
#include "CPlacementReceiver.h"
#include "CTextItem.h"

void CPlacementTeller::PictureOpened(const QString& sourceName) const
{
    if (receiver_ != nullptr) {
        receiver_->PictureOpened(sourceName);
    }
}

void CPlacementTeller::Placed(const CItem& item) const
{
    if (receiver_ == nullptr) {
        return;
    }
    if (const auto* text = dynamic_cast<const CTextItem*>(&item)) {
        receiver_->TextPlaced(text->Name());
    } else if (const auto* picture = dynamic_cast<const CPictureItem*>(&item)) {
        receiver_->ItemPlaced(picture->SourceName());
    }
}

void CPlacementTeller::Retell(const CItemCanvas& canvas) const
{
    const auto* base = dynamic_cast<const CPictureItem*>(canvas.ItemAt(0));
    if (receiver_ == nullptr || base == nullptr) {
        return;
    }
    receiver_->PictureOpened(base->SourceName());
    for (int index = 1; index < canvas.Count(); ++index) {
        Placed(*canvas.ItemAt(index));
    }
}
