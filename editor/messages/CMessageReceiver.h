#pragma once

#include "Messages.h"

// What the main frame, the view and the panels implement to take the private
// messages. The message is a value: the receiver owns its copy.
class CMessageReceiver
{
public:
    virtual ~CMessageReceiver() = default;
    virtual void Receive(msg::Message message) = 0;
};
