#pragma once

#include "CToolArguments.h"

#include <string>

struct UnpackReport;

// `pixvel-tool unpack PACKAGE [--into FOLDER] [--delete]`: runs the unpack
// loop (entries that cannot be written are skipped) and lists the files it
// wrote; the package is kept unless --delete is given.
class CUnpackCommand
{
public:
    static const char* const kOptions;
    static int Run(CToolArguments& arguments);
    // Unpacks into `folder` with the skip policy, lists the files written on
    // standard output and the entries skipped on standard error.
    static void UnpackAndList(const std::string& package, const std::string& folder);
};
