#include "CUnpackCommand.h"

#include "CPackageUnpacker.h"
#include "CSafePath.h"
#include "CToolError.h"

#include <cstdio>
#include <unistd.h>

const char* const CUnpackCommand::kOptions =
    "      --into FOLDER   unpack there instead of the package's folder\n"
    "      --delete        delete the package after a complete unpack\n"
    "      Entries whose file cannot be written (read-only, a folder in the way,\n"
    "      a name leading out of the folder) are skipped and named on stderr.\n";

void CUnpackCommand::UnpackAndList(const std::string& package, const std::string& folder)
{
    UnpackReport report;
    try {
        report = CPackageUnpacker::Unpack(package, folder, UnopenablePolicy::Skip);
    } catch (const std::exception& error) {
        throw CToolError(
            QString("cannot unpack '%1': %2").arg(QString::fromStdString(package), error.what()));
    }
    for (const auto& path : report.written) {
        std::printf("%s\n", path.c_str());
    }
    for (const std::string& name : report.skipped) {
        std::fprintf(stderr, "pixvel-tool: skipped '%s': cannot be written there\n", name.c_str());
    }
}

int CUnpackCommand::Run(CToolArguments& arguments)
{
    const std::string package =
        arguments.Take("PACKAGE (usage: pixvel-tool unpack PACKAGE [--into FOLDER] [--delete])")
            .toStdString();
    std::string folder = CSafePath::FolderPart(package);
    bool remove = false;
    while (!arguments.AtEnd()) {
        const QString option = arguments.Take("an option");
        if (option == "--into") {
            folder = arguments.Take("a folder after --into").toStdString();
        } else if (option == "--delete") {
            remove = true;
        } else {
            throw CToolError(QString("unknown option '%1'").arg(option));
        }
    }
    UnpackAndList(package, folder.empty() ? "." : folder);
    if (remove && unlink(package.c_str()) != 0) {
        throw CToolError(
            QString("unpacked, but cannot delete '%1'").arg(QString::fromStdString(package)));
    }
    return 0;
}
