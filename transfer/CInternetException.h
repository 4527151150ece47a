#pragma once

#include <stdexcept>
#include <string>

// A failure of the network side of a transfer: the connection, the protocol,
// a refused redirect, a stalled server. The text says what went wrong; the
// programs show their own message and never this text.
class CInternetException : public std::runtime_error
{
public:
    explicit CInternetException(const std::string& what) : std::runtime_error(what) {}
};
