#pragma once

#include <QString>

class CItem;
class CItemCanvas;
class CPlacementReceiver;

// Tells the panel bars, through the frame's placement channel, what the
// view put on the picture: a new picture, each item placed on top, or the
// whole canvas again after an undo or a renamed text.
class CPlacementTeller
{
public:
    void SetReceiver(CPlacementReceiver* receiver) { receiver_ = receiver; }

    void PictureOpened(const QString& sourceName) const;
    // A text by its name (its first line), a picture by its source.
    void Placed(const CItem& item) const;
    // The base picture and every item above it, as after opening the picture.
    void Retell(const CItemCanvas& canvas) const;

private:
    CPlacementReceiver* receiver_ = nullptr;
};
