#include "CToolCommands.h"

#include "CExportCommand.h"
#include "CFetchCommand.h"
#include "CRegCommand.h"
#include "CRegsvrCommand.h"
#include "CRenderCommand.h"
#include "CSendCommand.h"
#include "CSetupCommand.h"
#include "CThumbnailsCommand.h"
#include "CToolError.h"
#include "CUnpackCommand.h"

#include <array>
#include <cstdio>

namespace {

int RunHelp(CToolArguments& arguments);

const std::array<ToolCommand, 10> kCommands = {{
    {"render", "INPUT OUTPUT [OPTIONS]",
     "draw a picture with its effects and write it through the encoder OUTPUT names",
     CRenderCommand::kOptions, CRenderCommand::Run},
    {"export", "PROJECT OUT.ora",
     "write a project as a layered OpenRaster file, one layer per item", CExportCommand::kOptions,
     CExportCommand::Run},
    {"fetch", "URL [FILE]",
     "print a resource as text, or download it to FILE (a .zip is unpacked beside it)",
     CFetchCommand::kOptions, CFetchCommand::Run},
    {"unpack", "PACKAGE [--into FOLDER] [--delete]",
     "unpack a ZIP package into its folder (or FOLDER) and list the files written",
     CUnpackCommand::kOptions, CUnpackCommand::Run},
    {"reg", "query|add|delete KEY [NAME [DATA]]",
     "read and write the settings store the programs share", CRegCommand::kOptions,
     CRegCommand::Run},
    {"regsvr", "[--unregister] MODULE",
     "register a launcher module (or remove its registration) and print the result",
     CRegsvrCommand::kOptions, CRegsvrCommand::Run},
    {"setup", "--apps-path DIR [--info-url URL] [--update-key FILE.pub] | --remove --apps-path DIR",
     "set up an installed folder: settings, launcher module, desktop entries (or undo it)",
     CSetupCommand::kOptions, CSetupCommand::Run},
    {"thumbnails", "FOLDER [--sheet OUT.png]",
     "list an item category as the item library does and print each thumbnail's place",
     CThumbnailsCommand::kOptions, CThumbnailsCommand::Run},
    {"send", "TITLE DATAWORD TEXT",
     "send a copy-data message to the window with that title and print its result",
     CSendCommand::kOptions, CSendCommand::Run},
    {"help", "[COMMAND]", "list the commands, or show one command's options", "", RunHelp},
}};

const ToolCommand* FindCommand(const QString& name)
{
    for (const ToolCommand& command : kCommands) {
        if (name == command.name) {
            return &command;
        }
    }
    return nullptr;
}

void PrintUsage(const ToolCommand& command)
{
    std::printf("  pixvel-tool %s %s\n      %s\n", command.name, command.usage, command.summary);
}

int RunHelp(CToolArguments& arguments)
{
    if (!arguments.AtEnd()) {
        const QString name = arguments.Take("a command name");
        arguments.ExpectEnd();
        const ToolCommand* command = FindCommand(name);
        if (command == nullptr) {
            throw CToolError(QString("unknown command '%1' (try: pixvel-tool help)").arg(name));
        }
        PrintUsage(*command);
        std::fputs(command->details, stdout);
        return 0;
    }
    std::printf("usage: pixvel-tool COMMAND [ARGUMENTS]\n\ncommands:\n");
    for (const ToolCommand& command : kCommands) {
        PrintUsage(command);
    }
    return 0;
}

} // namespace

std::span<const ToolCommand> CToolCommands::Commands()
{
    return kCommands;
}

int CToolCommands::Run(const QStringList& words)
{
    try {
        if (words.isEmpty()) {
            CToolArguments none({});
            RunHelp(none);
            return 1;
        }
        const ToolCommand* command = FindCommand(words.first());
        if (command == nullptr) {
            throw CToolError(
                QString("unknown command '%1' (try: pixvel-tool help)").arg(words.first()));
        }
        CToolArguments arguments(words.mid(1));
        return command->run(arguments);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "pixvel-tool: %s\n", error.what());
        return 1;
    }
}
