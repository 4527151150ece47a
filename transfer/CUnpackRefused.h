#pragma once

#include <stdexcept>
#include <string>

// A package the unpacker does not unpack at all: it would write more than
// its budget, or leave the disk all but full. Nothing has been written when
// it is thrown; what() is the whole message in the user's words.
class CUnpackRefused : public std::runtime_error
{
public:
    static constexpr const char* kPrefix = "압축을 풀 수 없습니다: ";

    explicit CUnpackRefused(const std::string& reason) : std::runtime_error(kPrefix + reason) {}
};
