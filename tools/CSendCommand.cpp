#include "CSendCommand.h"

#include "CToolError.h"
#include "CWindowLink.h"

#include <cstdio>

const char* const CSendCommand::kOptions =
    "      DATAWORD is a number from 0 to 4294967295 (the downloader takes it as the\n"
    "      announced size in bytes). TEXT goes out as UTF-8 with a terminating NUL,\n"
    "      as the launcher module sends it; the downloader's request text is\n"
    "      NAME||ADDRESS||FILE. Waits at most 10 s for the receiver's result.\n";

int CSendCommand::Run(CToolArguments& arguments)
{
    const QString title = arguments.Take("TITLE (usage: pixvel-tool send TITLE DATAWORD TEXT)");
    const QString word = arguments.Take("DATAWORD");
    bool isNumber = false;
    const uint32_t dataWord = word.toUInt(&isNumber, 10);
    if (!isNumber) {
        throw CToolError(
            QString("DATAWORD must be a number from 0 to 4294967295, not '%1'").arg(word));
    }
    QByteArray bytes = arguments.Take("TEXT").toUtf8();
    arguments.ExpectEnd();
    bytes.append('\0');
    if (bytes.size() > platform::CWindowLink::kMaxBytes) {
        throw CToolError(QString("the text is too long: at most %1 bytes go in one message")
                             .arg(platform::CWindowLink::kMaxBytes - 1));
    }
    if (const QString problem = platform::CWindowLink::FolderProblem(); !problem.isEmpty()) {
        throw CToolError(problem);
    }
    const auto result = platform::CWindowLink::Send(title, dataWord, bytes);
    if (!result) {
        throw CToolError(QString("no window has the title '%1'").arg(title));
    }
    std::printf("%ld\n", *result);
    return 0;
}
