#pragma once

#include <QString>

// Reads and writes string values of settings keys given with their hive
// ("HKEY_CURRENT_USER\Software\Pixvel" and the like), one INI file per key under
// $PIXVEL_REGISTRY_DIR, else under the user's configuration folder. A
// missing key or value reads as empty text.
namespace settings {

QString Read(const QString& key, const QString& name);
void Write(const QString& key, const QString& name, const QString& value);

} // namespace settings
