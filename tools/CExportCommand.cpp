#include "CExportCommand.h"

#include "COraExporter.h"
#include "CProjectReader.h"
#include "CToolError.h"

#include <QFileInfo>

const char* const CExportCommand::kOptions =
    "      PROJECT is a .pixvel project; OUT.ora gets the base picture as its\n"
    "      bottom layer and each item, drawn with its effects, as a layer of\n"
    "      the picture's size above it, with the flattened picture and a\n"
    "      thumbnail.\n";

int CExportCommand::Run(CToolArguments& arguments)
{
    const QString input = arguments.Take("PROJECT (usage: pixvel-tool export PROJECT OUT.ora)");
    const QString output = arguments.Take("OUT.ora (usage: pixvel-tool export PROJECT OUT.ora)");
    arguments.ExpectEnd();
    if (QFileInfo(output).suffix().compare("ora", Qt::CaseInsensitive) != 0) {
        throw CToolError(QString("'%1' is not an OpenRaster name: name it .ora").arg(output));
    }
    QString error;
    const std::optional<ProjectContent> project = CProjectReader::Read(input, &error);
    if (!project) {
        throw CToolError(QString("cannot read '%1': %2").arg(input, error));
    }
    if (!COraExporter::Export(*project, output, &error)) {
        throw CToolError(QString("cannot write '%1': %2; nothing was changed").arg(output, error));
    }
    return 0;
}
