#pragma once

#include "Messages.h"

#include <QString>

#include <optional>

// The items the item menu was opened for, and what its item commands ask
// of the routing table: delete them, move the first one in the z-order, or
// stretch it over the picture. Index 0 is the base picture, never an item.
class CContextItems
{
public:
    // What an item command sends, and what the user is told first.
    struct Request
    {
        std::optional<msg::Message> message;
        std::optional<QString> refusal;
    };

    void Open(msg::IndexList indexes) { indexes_ = std::move(indexes); }
    const msg::IndexList& Indexes() const { return indexes_; }

    // The first of them that is an item among `count` canvas entries.
    std::optional<uint32_t> First(long count) const;
    // Runs an item command (delete, z-order, fit) once; the indexes are used up.
    Request Take(int id, long count);

    // Every receiver deletes the same items: each index once, from the top
    // down so that no removal shifts another, never the base picture.
    static msg::Message WithCleanDeleteList(msg::Message message, long count);

private:
    Request Delete();
    std::optional<msg::Message> Move(int id, long count) const;
    std::optional<msg::Message> Fit(long count) const;

    msg::IndexList indexes_;
};
