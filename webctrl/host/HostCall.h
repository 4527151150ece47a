#pragma once

#include <QString>

#include <cstdint>
#include <variant>
#include <vector>

// One method call the host makes on the control: its name and arguments,
// each a string or a 32-bit integer.
struct HostCall
{
    using Argument = std::variant<QString, int32_t>;
    QString method;
    std::vector<Argument> arguments;
};
