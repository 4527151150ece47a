#pragma once

#include <QString>

// What the view tells the two panel bars about the picture's items, besides
// the numbered messages: a new picture (New or Open) and every item it
// places on top (a library item, a pasted or inserted picture, a text). The
// item library keeps its used-items list with it, the items panel its rows.
class CPlacementReceiver
{
public:
    virtual ~CPlacementReceiver() = default;

    // A new picture replaced the old one; `path` is its file (the lists
    // start again with the base picture).
    virtual void PictureOpened(const QString& path) = 0;
    // A picture item was placed on top of the picture; `label` is its
    // source path.
    virtual void ItemPlaced(const QString& label) = 0;
    // A text item was placed on top of the picture; `name` is what the lists
    // show for it (its first line, cut short).
    virtual void TextPlaced(const QString& name) = 0;
};
