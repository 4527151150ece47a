#pragma once

#include <QString>

#include <stdexcept>

// A refusal of pixvel-tool: the message is printed as one line on standard
// error and the tool exits with status 1.
class CToolError : public std::runtime_error
{
public:
    explicit CToolError(const QString& message) : std::runtime_error(message.toStdString()) {}
};
