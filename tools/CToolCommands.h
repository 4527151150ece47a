#pragma once

#include "CToolArguments.h"

#include <QStringList>

#include <span>

// One subcommand of pixvel-tool.
struct ToolCommand
{
    const char* name;
    const char* usage;   // the words after the name
    const char* summary; // one line for `pixvel-tool help`
    const char* details; // the options, for `pixvel-tool help NAME`; may be empty
    int (*run)(CToolArguments& arguments);
};

// The subcommands and the dispatch to them.
class CToolCommands
{
public:
    static std::span<const ToolCommand> Commands();
    // Runs the subcommand named by the first word; returns the exit status.
    // Refusals are printed as one line on standard error and give status 1.
    static int Run(const QStringList& words);
};
