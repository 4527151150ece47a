#include "CUsedItemList.h"

void CUsedItemList::StartPicture(const QString& path)
{
    items_.clear();
    base_ = path;
}

void CUsedItemList::Add(const QString& label)
{
    items_.prepend({label, QString()});
}

void CUsedItemList::AddText(const QString& path, const QString& name)
{
    items_.prepend({path, name});
}

QString CUsedItemList::ShownName(int position, const QString& fallback) const
{
    if (position < 0 || position >= ItemCount() || items_[position].textName.isEmpty()) {
        return fallback;
    }
    return items_[position].textName;
}

void CUsedItemList::Clear()
{
    items_.clear();
    base_.reset();
}

bool CUsedItemList::Remove(const msg::IndexList& indexes)
{
    bool removed = false;
    for (const uint32_t index : indexes) {
        const qint64 position = qint64(ItemCount()) - qint64(index);
        if (index >= 1 && position >= 0) {
            items_.removeAt(qsizetype(position));
            removed = true;
        }
    }
    return removed;
}

bool CUsedItemList::Move(int from, int to)
{
    const int count = ItemCount();
    if (from < 1 || to < 1 || from > count || to > count) {
        return false;
    }
    // Taking the entry out and putting it back at the target's position
    // places it before the entry now there when moving towards the head,
    // after the one before it otherwise: it ends at that position either way.
    items_.move(count - from, count - to);
    return from != to;
}

QStringList CUsedItemList::Entries() const
{
    QStringList entries;
    for (const Entry& entry : items_) {
        entries.append(entry.path);
    }
    if (base_) {
        entries.append(*base_);
    }
    return entries;
}
