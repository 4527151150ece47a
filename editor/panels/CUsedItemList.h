#pragma once

#include "Messages.h"

#include <QStringList>

#include <optional>

// The item library's list of what is on the picture: the source path of
// every item placed (or "문자열" for a text, with the name it is shown by),
// newest first, then the base picture when one is open.
//
// Document indexes count as in the canvas: 0 is the base picture, 1..n the
// items from the bottom up. The item with document index d sits at position
// (n - d), n being the number of items (the base picture is not counted), so
// the base picture, when present, is the last entry at position n.
class CUsedItemList
{
public:
    // A new picture: the list holds only it.
    void StartPicture(const QString& path);
    // An item placed on top: it goes to the head.
    void Add(const QString& label);
    // A text item on top: listed as `path`, shown as `name`.
    void AddText(const QString& path, const QString& name);
    // Empties the list, base picture included.
    void Clear();

    // For each index in order, removes the item at position (n - index)
    // when that is an item's position; n shrinks with every removal, as the
    // canvas does when it removes the same indexes in the same order.
    // False when nothing was removed.
    bool Remove(const msg::IndexList& indexes);
    // Moves the entry of document index `from` to the position of `to`.
    // False (and nothing moves) unless both are items.
    bool Move(int from, int to);

    // Items newest first, then the base picture.
    QStringList Entries() const;
    // What the entry at a position of Entries() is shown by: a text's name,
    // else `fallback` (the name made from its path).
    QString ShownName(int position, const QString& fallback) const;
    int ItemCount() const { return int(items_.size()); }
    bool HasPicture() const { return base_.has_value(); }
    // The document index shown at a position of Entries().
    int DocumentIndexAt(int position) const { return ItemCount() - position; }

private:
    struct Entry
    {
        QString path;
        QString textName; // empty for a picture
    };
    QList<Entry> items_;
    std::optional<QString> base_;
};
