#include "CRegsvrCommand.h"

#include "CModuleFile.h"
#include "CToolError.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <stdexcept>

const char* const CRegsvrCommand::kOptions =
    "      MODULE         the module file (like build/webctrl/libvelunarctrl.so)\n"
    "      --unregister   remove the module's registration instead\n"
    "      Prints the function's result code; exit status 0 when it succeeded.\n";

int CRegsvrCommand::Run(CToolArguments& arguments)
{
    QString word = arguments.Take("MODULE or --unregister");
    const bool unregister = word == "--unregister";
    if (unregister) {
        word = arguments.Take("MODULE");
    }
    arguments.ExpectEnd();
    const com::HRESULT result = CallModule(word, unregister);
    std::printf("%s: %s\n", unregister ? "DllUnregisterServer" : "DllRegisterServer",
                com::HresultText(result).c_str());
    return com::SUCCEEDED(result) ? 0 : 1;
}

com::HRESULT CRegsvrCommand::CallModule(const QString& path, bool unregister)
{
    // Loaded by its absolute path, never searched for in the library path.
    const QFileInfo file(path);
    if (!file.isFile()) {
        throw CToolError(QString("no module file '%1'").arg(path));
    }
    try {
        return com::CModuleFile::CallRegistration(
            QFile::encodeName(file.absoluteFilePath()).toStdString(), unregister);
    } catch (const std::runtime_error& error) {
        throw CToolError(QString::fromLocal8Bit(error.what()));
    }
}
