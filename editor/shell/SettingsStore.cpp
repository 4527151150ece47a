#include "SettingsStore.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace settings {

namespace {

// <root>/<hive>/<key path lower-cased, "\" as "/">.ini
QString KeyFile(const QString& key)
{
    QString root = qEnvironmentVariable("PIXVEL_REGISTRY_DIR");
    if (root.isEmpty()) {
        root = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
               QStringLiteral("/pixvel/registry");
    }
    const qsizetype split = key.indexOf(QLatin1Char('\\'));
    QString path = key.mid(split + 1).toLower();
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return root + QLatin1Char('/') + key.left(split) + QLatin1Char('/') + path +
           QStringLiteral(".ini");
}

} // namespace

QString Read(const QString& key, const QString& name)
{
    const QSettings file(KeyFile(key), QSettings::IniFormat);
    const QVariant value = file.value(name);
    // An unquoted value with commas, written by hand, reads as a list.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1Char(','));
    }
    return value.toString();
}

void Write(const QString& key, const QString& name, const QString& value)
{
    const QString path = KeyFile(key);
    QDir().mkpath(QFileInfo(path).path());
    QSettings file(path, QSettings::IniFormat);
    file.setValue(name, value);
}

} // namespace settings
