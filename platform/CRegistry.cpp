#include "CRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace platform {

namespace {

QString LongHiveName(const QString& hive)
{
    const QString upper = hive.toUpper();
    if (upper == "HKCU") {
        return "HKEY_CURRENT_USER";
    }
    if (upper == "HKCR") {
        return "HKEY_CLASSES_ROOT";
    }
    if (upper == "HKLM") {
        return "HKEY_LOCAL_MACHINE";
    }
    return upper.startsWith("HKEY_") ? upper : QString();
}

// The stored name that equals `name` without regard to case, or `name`.
QString StoredName(QSettings& settings, const QString& name)
{
    for (const QString& stored : settings.childKeys()) {
        if (stored.compare(name, Qt::CaseInsensitive) == 0) {
            return stored;
        }
    }
    return name;
}

} // namespace

QString CRegistry::RootFolder()
{
    const QString configured = qEnvironmentVariable("PIXVEL_REGISTRY_DIR");
    if (!configured.isEmpty()) {
        return configured;
    }
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/pixvel/registry";
}

QString CRegistry::KeyFile(const QString& key)
{
    QStringList levels = QString(key).replace('\\', '/').split('/', Qt::SkipEmptyParts);
    if (levels.size() < 2) {
        return {};
    }
    const QString hive = LongHiveName(levels.takeFirst());
    for (const QString& level : levels) {
        if (level == "." || level == "..") {
            return {};
        }
    }
    if (hive.isEmpty()) {
        return {};
    }
    return RootFolder() + "/" + hive + "/" + levels.join('/').toLower() + ".ini";
}

QString CRegistry::Read(const QString& key, const QString& name, int maxBytes)
{
    const QString file = KeyFile(key);
    if (file.isEmpty() || !QFileInfo::exists(file)) {
        return {};
    }
    QSettings settings(file, QSettings::IniFormat);
    const QString value = settings.value(StoredName(settings, name)).toString();
    if (maxBytes > 0 && value.toUtf8().size() + 1 > maxBytes) {
        return {};
    }
    return value;
}

QStringList CRegistry::ValueNames(const QString& key)
{
    const QString file = KeyFile(key);
    if (file.isEmpty() || !QFileInfo::exists(file)) {
        return {};
    }
    QSettings settings(file, QSettings::IniFormat);
    return settings.childKeys();
}

bool CRegistry::KeyExists(const QString& key)
{
    const QString file = KeyFile(key);
    return !file.isEmpty() && QFileInfo::exists(file);
}

bool CRegistry::Write(const QString& key, const QString& name, const QString& data)
{
    const QString file = KeyFile(key);
    // QSettings takes `/` and `\` in a name for groups: such a value would be
    // stored outside [General], where no listing, read or delete finds it.
    if (file.isEmpty() || name.isEmpty() || name.contains('/') || name.contains('\\') ||
        !QDir().mkpath(QFileInfo(file).path())) {
        return false;
    }
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue(StoredName(settings, name), data);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool CRegistry::DeleteValue(const QString& key, const QString& name)
{
    const QString file = KeyFile(key);
    if (file.isEmpty() || !QFileInfo::exists(file)) {
        return false;
    }
    QSettings settings(file, QSettings::IniFormat);
    const QString stored = StoredName(settings, name);
    if (!settings.contains(stored)) {
        return false;
    }
    settings.remove(stored);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool CRegistry::DeleteKey(const QString& key)
{
    const QString file = KeyFile(key);
    return !file.isEmpty() && QFile::remove(file);
}

} // namespace platform
