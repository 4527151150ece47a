#include "CHostCommandLine.h"

#include "CVelunarAddress.h"

#include <QRegularExpression>

namespace {

std::optional<std::vector<HostCall>> ParseAddress(const QStringList& words, QString& error)
{
    if (words.size() != 2) {
        error = "--url takes exactly one address";
        return std::nullopt;
    }
    const std::optional<VelunarRequest> request = CVelunarAddress::Parse(words[1], error);
    if (!request) {
        return std::nullopt;
    }
    return CVelunarAddress::Calls(*request);
}

} // namespace

HostCall::Argument CHostCommandLine::Argument(const QString& word)
{
    static const QRegularExpression kInteger("^[+-]?[0-9]+$");
    bool ok = false;
    const qlonglong number = word.toLongLong(&ok);
    // Sizes above 2^31 - 1 travel as the same 32 bits.
    if (ok && word.contains(kInteger) && number >= INT32_MIN && number <= UINT32_MAX) {
        return static_cast<int32_t>(static_cast<uint32_t>(number));
    }
    return word;
}

std::optional<std::vector<HostCall>> CHostCommandLine::Parse(const QStringList& words,
                                                             QString& error)
{
    if (!words.isEmpty() && words[0] == "--url") {
        return ParseAddress(words, error);
    }
    std::vector<HostCall> calls(1);
    for (const QString& word : words) {
        if (word == ";") {
            calls.emplace_back();
        } else if (calls.back().method.isEmpty()) {
            calls.back().method = word;
        } else {
            calls.back().arguments.push_back(Argument(word));
        }
    }
    for (const HostCall& call : calls) {
        if (call.method.isEmpty() || call.method.startsWith('-')) {
            error = call.method.isEmpty() ? "a method name is missing"
                                          : QString("unknown option '%1'").arg(call.method);
            return std::nullopt;
        }
    }
    return calls;
}
