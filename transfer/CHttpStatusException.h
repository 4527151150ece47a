#pragma once

#include "CInternetException.h"

#include <cstdint>
#include <string>

// The server's final answer had a status outside 200-299 (an error page, a
// redirect that was not followed): nothing of its body was written.
class CHttpStatusException : public CInternetException
{
public:
    CHttpStatusException(uint32_t status, const std::string& url)
        : CInternetException("the server answered " + std::to_string(status) + ": " + url),
          status_(status)
    {}

    uint32_t Status() const { return status_; }

private:
    uint32_t status_;
};
