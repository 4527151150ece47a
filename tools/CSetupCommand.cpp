#include "CSetupCommand.h"

#include "CDesktopEntries.h"
#include "CMinisign.h"
#include "CRegistry.h"
#include "CRegsvrCommand.h"
#include "CToolError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <cstdio>

const char* const CSetupCommand::kOptions =
    "      --apps-path DIR   the installation folder (made by cmake --install)\n"
    "      --info-url URL    the address of the item service's update information file\n"
    "                        (without it no INFO_URL is written)\n"
    "      --update-key FILE the publisher's minisign public key (FILE.pub): updates\n"
    "                        must be signed with it\n"
    "      --remove          undo the set-up of DIR instead: the module's registration,\n"
    "                        the desktop entries and the settings (no other option); only\n"
    "                        for the installation the settings name (APPS_PATH)\n";

namespace {

// The editor keeps its recent files under its own key.
const char* const kRecentFilesKey =
    "HKEY_CURRENT_USER\\Software\\Local AppWizard-Generated Applications\\Pixvel\\Recent File "
    "List";

struct SetupOptions
{
    QString appsPath;
    QString infoUrl;
    QString updateKey; // the key file
    bool remove = false;
};

// A public key file is a comment line and the key line.
constexpr qint64 kMaxKeyFileBytes = 4096;

SetupOptions ParseOptions(CToolArguments& arguments)
{
    SetupOptions options;
    while (!arguments.AtEnd()) {
        const QString option = arguments.Take("an option");
        if (option == "--apps-path") {
            options.appsPath = arguments.Take("the folder after --apps-path");
        } else if (option == "--info-url") {
            options.infoUrl = arguments.Take("the address after --info-url");
        } else if (option == "--update-key") {
            options.updateKey = arguments.Take("the key file after --update-key");
        } else if (option == "--remove") {
            options.remove = true;
        } else {
            throw CToolError(
                QString("unknown option '%1' (try: pixvel-tool help setup)").arg(option));
        }
    }
    if (options.appsPath.isEmpty()) {
        throw CToolError("--apps-path DIR is missing");
    }
    if (options.remove && !(options.infoUrl.isEmpty() && options.updateKey.isEmpty())) {
        throw CToolError("--remove takes no --info-url or --update-key");
    }
    return options;
}

QString CheckedAppsPath(const QString& path)
{
    const QFileInfo folder(path);
    if (!folder.isDir()) {
        throw CToolError(QString("no installation folder '%1'").arg(path));
    }
    return QDir(folder.absoluteFilePath()).absolutePath();
}

void CheckInfoUrl(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != "http" && url.scheme() != "https") ||
        url.host().isEmpty()) {
        throw CToolError(QString("'%1' is no http or https address").arg(text));
    }
}

// The key line of a minisign public key file.
QString KeyLine(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw CToolError(QString("cannot read the key file '%1'").arg(path));
    }
    const auto line = CMinisign::KeyLineOfFile(file.read(kMaxKeyFileBytes).toStdString());
    if (!line) {
        throw CToolError(QString("'%1' holds no minisign public key").arg(path));
    }
    return QString::fromStdString(*line);
}

void WriteSetting(const char* name, const QString& data)
{
    if (!platform::CRegistry::Write(CSetupCommand::kSettingsKey, name, data)) {
        throw CToolError(QString("cannot write the setting %1 in %2")
                             .arg(name, platform::CRegistry::RootFolder()));
    }
    std::printf("%s = %s\n", name, qPrintable(data));
}

void CallModule(const QString& appsPath, bool unregister)
{
    const QString module = QDir(appsPath).filePath(CSetupCommand::kModuleFile);
    const com::HRESULT result = CRegsvrCommand::CallModule(module, unregister);
    // Unregistering what was never registered is no failure of --remove.
    if (!unregister && !com::SUCCEEDED(result)) {
        throw CToolError(QString("registering %1 failed: %2")
                             .arg(module, QString::fromStdString(com::HresultText(result))));
    }
    std::printf("%s %s: %s\n", unregister ? "unregistered" : "registered", qPrintable(module),
                com::HresultText(result).c_str());
}

// Whether a folder or any folder between it and `top` is a link.
bool HasLinkBelow(const QString& top, QString folder)
{
    for (; folder.startsWith(top + "/"); folder = QFileInfo(folder).path()) {
        if (QFileInfo(folder).isSymLink()) {
            return true;
        }
    }
    return false;
}

// Removes a folder of the settings store that the removal just emptied and
// the folders above it that this leaves empty, up to (not including) `top`;
// never through a link.
void RemoveEmptiedFolders(QString folder, const QString& top)
{
    if (HasLinkBelow(top, folder)) {
        return;
    }
    while (folder.startsWith(top + "/") && QDir().rmdir(folder)) {
        folder = QFileInfo(folder).path();
    }
}

void DeleteKeyAndEmptiedFolders(const char* key, const QString& top)
{
    const QString file = platform::CRegistry::KeyFile(key);
    if (platform::CRegistry::DeleteKey(key)) {
        RemoveEmptiedFolders(QFileInfo(file).path(), top);
    }
}

// Refuses to undo a set-up that is not the one of `apps`: the settings must
// name that very folder, and the folder must be a Pixvel installation.
void CheckIsTheInstallation(const QString& apps)
{
    const QString named = platform::CRegistry::Read(CSetupCommand::kSettingsKey, "APPS_PATH");
    if (named.isEmpty() ||
        QFileInfo(named).canonicalFilePath() != QFileInfo(apps).canonicalFilePath()) {
        throw CToolError(
            QString("%1 is not the installation the settings name (APPS_PATH is '%2'); "
                    "nothing removed")
                .arg(apps, named));
    }
    const QFileInfo marker(QDir(apps).filePath(CSetupCommand::kMarkerFile));
    if (!marker.isFile() || marker.isSymLink()) {
        throw CToolError(QString("%1 holds no Pixvel installation (no %2); nothing removed")
                             .arg(apps, CSetupCommand::kMarkerFile));
    }
}

void SetUp(const SetupOptions& options)
{
    const QString apps = CheckedAppsPath(options.appsPath);
    if (!options.infoUrl.isEmpty()) {
        CheckInfoUrl(options.infoUrl);
    }
    const QString key = options.updateKey.isEmpty() ? QString() : KeyLine(options.updateKey);
    // Checked before anything is written, so that a wrong folder changes nothing.
    if (!QFileInfo(QDir(apps).filePath(CSetupCommand::kModuleFile)).isFile()) {
        throw CToolError(QString("%1 holds no %2: install into it first (cmake --install)")
                             .arg(apps, CSetupCommand::kModuleFile));
    }
    WriteSetting("APPS_PATH", apps);
    WriteSetting("DOWNLOAD_FOLDER", "items");
    if (!options.infoUrl.isEmpty()) {
        WriteSetting("INFO_URL", options.infoUrl);
    }
    if (!key.isEmpty()) {
        WriteSetting("UPDATE_KEY", key);
    }
    WriteSetting("VERSION", PIXVEL_VERSION);
    CallModule(apps, false);
    for (const QString& entry : CDesktopEntries::Install(apps)) {
        std::printf("wrote %s\n", qPrintable(entry));
    }
    std::printf("%s: %s\n", CDesktopEntries::kHandlerType, CDesktopEntries::kHandlerEntry);
}

void Remove(const SetupOptions& options)
{
    const QString apps = CheckedAppsPath(options.appsPath);
    CheckIsTheInstallation(apps);
    const bool registered = QFileInfo(QDir(apps).filePath(CSetupCommand::kModuleFile)).isFile();
    if (registered) {
        CallModule(apps, true);
    }
    for (const QString& entry : CDesktopEntries::Remove()) {
        std::printf("removed %s\n", qPrintable(entry));
    }
    // A store of the user's choosing keeps its own folder; the default one,
    // $XDG_CONFIG_HOME/pixvel/registry, goes with the folders above it that
    // it leaves empty, up to $XDG_CONFIG_HOME/pixvel.
    const QString root = QDir(platform::CRegistry::RootFolder()).absolutePath();
    const QString top = qEnvironmentVariableIsEmpty("PIXVEL_REGISTRY_DIR")
                            ? QFileInfo(QFileInfo(root).path()).path()
                            : root;
    if (registered) { // the module's classes, which unregistering emptied
        RemoveEmptiedFolders(root + "/HKEY_CLASSES_ROOT", top);
    }
    for (const char* key : {CSetupCommand::kSettingsKey, kRecentFilesKey}) {
        DeleteKeyAndEmptiedFolders(key, top);
    }
    std::printf("removed the settings in %s\n", qPrintable(root));
}

} // namespace

int CSetupCommand::Run(CToolArguments& arguments)
{
    const SetupOptions options = ParseOptions(arguments);
    if (options.remove) {
        Remove(options);
    } else {
        SetUp(options);
    }
    return 0;
}
