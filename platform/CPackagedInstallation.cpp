#include "CPackagedInstallation.h"

#include "CModuleFile.h"
#include "CRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>
#include <stdexcept>

namespace platform {

namespace {

void Warn(const QString& text)
{
    std::fprintf(stderr, "pixvel: %s\n", qPrintable(text));
}

void WriteSetting(const char* name, const QString& data)
{
    if (!CRegistry::Write(CPackagedInstallation::kSettingsKey, name, data)) {
        Warn(
            QStringLiteral("cannot write the setting %1 in %2").arg(name, CRegistry::RootFolder()));
    }
}

void RegisterModule(const QString& folder)
{
    const QString module = QDir(folder).filePath(CPackagedInstallation::kModuleFile);
    try {
        const com::HRESULT result =
            com::CModuleFile::CallRegistration(QFile::encodeName(module).toStdString(), false);
        if (!com::SUCCEEDED(result)) {
            Warn(QStringLiteral("registering %1 failed: %2")
                     .arg(module, QString::fromStdString(com::HresultText(result))));
        }
    } catch (const std::runtime_error& error) {
        Warn(QString::fromLocal8Bit(error.what()));
    }
}

} // namespace

QString CPackagedInstallation::ProgramFolder()
{
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath())
        .absolutePath();
}

bool CPackagedInstallation::IsPackaged(const QString& folder)
{
    return !folder.isEmpty() && QFileInfo(QDir(folder).filePath(kMarkFile)).isFile();
}

QString CPackagedInstallation::UserItemsFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(data).filePath(QStringLiteral("pixvel/items"));
}

bool CPackagedInstallation::SetUpUser(const QString& programFolder)
{
    if (!IsPackaged(programFolder) || !CRegistry::Read(kSettingsKey, "APPS_PATH").isEmpty()) {
        return false;
    }
    const QString folder = QDir(programFolder).absolutePath();
    const QString items = UserItemsFolder();
    if (!QDir().mkpath(items)) {
        Warn(QStringLiteral("cannot make the items folder %1").arg(items));
    }
    WriteSetting("APPS_PATH", folder);
    WriteSetting("DOWNLOAD_FOLDER", items);
    RegisterModule(folder);
    return true;
}

} // namespace platform
