#include "CRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <functional>

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

// A value as the text it was written as: an unquoted hand-written value with
// a comma reads back as a list, which is joined again.
QString ValueText(const QVariant& value)
{
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(',');
    }
    return value.toString();
}

// Writes the settings out; true when `changed` holds for the file. QSettings
// reports a format error for any damaged line of the file even when it
// stored the change (keeping every valid value and dropping the damaged
// lines): the file, read afresh, then tells.
bool Saved(QSettings& settings, const std::function<bool(const QSettings&)>& changed)
{
    settings.sync();
    if (settings.status() != QSettings::FormatError) {
        return settings.status() == QSettings::NoError;
    }
    const QSettings fresh(settings.fileName(), QSettings::IniFormat);
    return changed(fresh);
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
    // Every level must name something: no empty level (which a leading,
    // doubled or trailing separator makes), no "." or "..", no NUL.
    QStringList levels = QString(key).replace('\\', '/').split('/');
    if (levels.size() < 2) {
        return {};
    }
    const QString hive = LongHiveName(levels.takeFirst());
    for (const QString& level : levels) {
        if (level.isEmpty() || level == "." || level == ".." || level.contains(QChar(0))) {
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
    const QString value = ValueText(settings.value(StoredName(settings, name)));
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
    const QString stored = StoredName(settings, name);
    settings.setValue(stored, data);
    return Saved(settings, [&](const QSettings& fresh) {
        return fresh.contains(stored) && ValueText(fresh.value(stored)) == data;
    });
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
    return Saved(settings, [&](const QSettings& fresh) { return !fresh.contains(stored); });
}

bool CRegistry::DeleteKey(const QString& key)
{
    const QString file = KeyFile(key);
    return !file.isEmpty() && QFile::remove(file);
}

} // namespace platform
