#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// The settings store the programs share, kept the way the registry kept
// them: one INI file per key below a root folder, values in its [General]
// section. Key `HKEY_CURRENT_USER\Software\Pixvel` (or `HKCU\...`) is the
// file `<root>/HKEY_CURRENT_USER/software/pixvel.ini`; key paths compare
// without regard to case, and so do value names. The root is
// $PIXVEL_REGISTRY_DIR, else $XDG_CONFIG_HOME/pixvel/registry. Writes go
// through QSettings, which locks the file and replaces it whole, so readers
// in other processes never see a half-written file.
class CRegistry
{
public:
    static QString RootFolder();
    // The file of a key; empty for a key that names no hive or has a `.`
    // or `..` level.
    static QString KeyFile(const QString& key);

    // The value as text; empty text when the key or value is missing, and
    // also when `maxBytes` is given and the value with its terminating NUL
    // needs more than that many bytes.
    static QString Read(const QString& key, const QString& name, int maxBytes = 0);
    static QStringList ValueNames(const QString& key);
    static bool KeyExists(const QString& key);
    // Creates the key when needed. False when it cannot be written, and for
    // an empty name or one with `/` or `\`.
    static bool Write(const QString& key, const QString& name, const QString& data);
    static bool DeleteValue(const QString& key, const QString& name);
    static bool DeleteKey(const QString& key);
};

} // namespace platform
