#pragma once

#include "CMessageReceiver.h"

#include <array>
#include <vector>

// The one table through which the view and the two panel bars reach each
// other: for each private message, who gets a copy, in order, and when.
class CMessageRouter
{
public:
    enum class Party
    {
        View,
        ImageToolBar,
        ItemBar,
    };

    void SetReceiver(Party party, CMessageReceiver* receiver);

    // The parties that get a copy of the message, in delivery order.
    static std::vector<Party> Receivers(const msg::Message& message);

    // Hands each receiver its own copy; false when no route takes it.
    bool Route(const msg::Message& message) const;

private:
    std::array<CMessageReceiver*, 3> receivers_{};
};
