#include "CVelunarRegistration.h"

#include "CRegistry.h"
#include "ClassRegistration.h"
#include "VelunarIds.h"

#include <QDir>
#include <QFileInfo>

using namespace com;
using platform::CRegistry;

namespace {

const QString kRoot = kClassesRoot;

QString Text(const GUID& guid)
{
    return QString::fromStdString(FormatGuid(guid));
}

RegistryEntry Default(const QString& key, const QString& data)
{
    return {key, kDefaultValueName, data};
}

QString ClassKey(const GUID& clsid)
{
    return "CLSID\\" + Text(clsid);
}

QString LibraryKey()
{
    return "TypeLib\\" + Text(velunar::kLibraryId) + "\\" + velunar::kVersion;
}

void AppendInterface(std::vector<RegistryEntry>& entries, const GUID& iid, const char* name)
{
    const QString key = "Interface\\" + Text(iid);
    entries.push_back(Default(key, name));
    // Calls through the interface are marshalled by the automation proxy.
    entries.push_back(
        Default(key + "\\ProxyStubClsid32", "{00020420-0000-0000-C000-000000000046}"));
    entries.push_back(Default(key + "\\TypeLib", Text(velunar::kLibraryId)));
    entries.push_back({key + "\\TypeLib", "Version", velunar::kVersion});
}

// The class with its module, its ProgID and the ProgID's way back to it.
void AppendServer(std::vector<RegistryEntry>& entries, const GUID& clsid, const char* typeName,
                  const char* progId, const QString& modulePath)
{
    const QString key = ClassKey(clsid);
    entries.insert(entries.end(), {
                                      Default(key, typeName),
                                      Default(key + "\\InprocServer32", modulePath),
                                      {key + "\\InprocServer32", "ThreadingModel", "Apartment"},
                                      Default(key + "\\ProgID", progId),
                                      Default(progId, typeName),
                                      Default(QString(progId) + "\\CLSID", Text(clsid)),
                                  });
}

bool WriteAll(const std::vector<RegistryEntry>& entries)
{
    for (const RegistryEntry& entry : entries) {
        if (!CRegistry::Write(kRoot + entry.key, entry.name, entry.data)) {
            return false;
        }
    }
    return true;
}

// Removes the folder of a deleted key's subkeys and then each folder above
// it that is left empty, up to the hive's own folder.
void RemoveEmptyFolders(const QString& keyFile)
{
    const QString hive = QFileInfo(CRegistry::KeyFile(kRoot + "x")).path();
    QDir().rmdir(keyFile.chopped(QStringLiteral(".ini").size()));
    QString folder = QFileInfo(keyFile).path();
    while (folder.startsWith(hive + "/") && QDir().rmdir(folder)) {
        folder = QFileInfo(folder).path();
    }
}

// Deletes the values, then (deepest first) every key left without values,
// with the folders that held only it.
void RemoveAll(const std::vector<RegistryEntry>& entries)
{
    for (const RegistryEntry& entry : entries) {
        CRegistry::DeleteValue(kRoot + entry.key, entry.name);
    }
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        const QString key = kRoot + entry->key;
        if (CRegistry::KeyExists(key) && CRegistry::ValueNames(key).isEmpty()) {
            const QString file = CRegistry::KeyFile(key);
            CRegistry::DeleteKey(key);
            RemoveEmptyFolders(file);
        }
    }
}

} // namespace

std::vector<RegistryEntry> CVelunarRegistration::TypeLibraryEntries(const QString& modulePath)
{
    const QString library = LibraryKey();
    std::vector<RegistryEntry> entries = {
        Default(library, velunar::kLibraryHelpString),
        Default(library + "\\0\\linux", modulePath),
        Default(library + "\\FLAGS", "0"),
        Default(library + "\\HELPDIR", QFileInfo(modulePath).path()),
    };
    AppendInterface(entries, velunar::kDispatchId, velunar::kDispatchName);
    AppendInterface(entries, velunar::kEventsId, velunar::kEventsName);
    return entries;
}

std::vector<RegistryEntry> CVelunarRegistration::ClassEntries(const QString& modulePath)
{
    const QString control = ClassKey(velunar::kControlClassId);
    const QString library = Text(velunar::kLibraryId);
    std::vector<RegistryEntry> entries;
    AppendServer(entries, velunar::kControlClassId, velunar::kControlTypeName,
                 velunar::kControlProgId, modulePath);
    entries.insert(entries.end(),
                   {
                       Default(control + "\\Control", ""),
                       Default(control + "\\ToolboxBitmap32", modulePath + ", 1"),
                       Default(control + "\\MiscStatus", QString::number(velunar::kMiscStatus)),
                       Default(control + "\\TypeLib", library),
                       Default(control + "\\Version", velunar::kVersion),
                   });
    AppendServer(entries, velunar::kPropPageClassId, velunar::kPropPageTypeName,
                 velunar::kPropPageProgId, modulePath);
    return entries;
}

HRESULT CVelunarRegistration::Register(const QString& modulePath)
{
    if (!WriteAll(TypeLibraryEntries(modulePath))) {
        return SELFREG_E_TYPELIB;
    }
    return WriteAll(ClassEntries(modulePath)) ? S_OK : SELFREG_E_CLASS;
}

HRESULT CVelunarRegistration::Unregister()
{
    if (!CRegistry::KeyExists(kRoot + LibraryKey())) {
        return SELFREG_E_TYPELIB;
    }
    RemoveAll(TypeLibraryEntries({}));
    const bool registered = CRegistry::KeyExists(kRoot + ClassKey(velunar::kControlClassId)) &&
                            CRegistry::KeyExists(kRoot + ClassKey(velunar::kPropPageClassId));
    RemoveAll(ClassEntries({}));
    return registered ? S_OK : SELFREG_E_CLASS;
}
