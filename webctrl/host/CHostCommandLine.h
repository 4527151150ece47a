#pragma once

#include "HostCall.h"

#include <QStringList>

#include <optional>

// The calls the command line asks for:
//   METHOD [ARG...] [';' METHOD [ARG...]]...  (an argument that reads as a
//                                               32-bit integer is passed as one)
//   --url velunar:download?...                (the three calls of the address)
class CHostCommandLine
{
public:
    static constexpr const char* kUsage =
        "usage: VelunarHost METHOD [ARG...] [';' METHOD [ARG...]]...\n"
        "       VelunarHost --url 'velunar:download?title=T&key=K&program=P&name=N&url=U"
        "&file=F&size=S'\n";

    // The calls, or nothing with the reason in `error`.
    static std::optional<std::vector<HostCall>> Parse(const QStringList& words, QString& error);
    static HostCall::Argument Argument(const QString& word);
};
