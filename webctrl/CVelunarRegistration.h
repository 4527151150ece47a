#pragma once

#include "ComTypes.h"

#include <QString>

#include <vector>

// One registry value the module registers: under HKEY_CLASSES_ROOT\key.
struct RegistryEntry
{
    QString key;
    QString name;
    QString data;
};

// The module's self-registration under HKEY_CLASSES_ROOT through the
// settings store: the type library with its two interfaces, then the classes
// (the control with its ProgID, and the property page). A key's default
// value is the value named com::kDefaultValueName. Unregistration removes exactly the values
// registration writes, and each key that is left empty.
class CVelunarRegistration
{
public:
    static std::vector<RegistryEntry> TypeLibraryEntries(const QString& modulePath);
    static std::vector<RegistryEntry> ClassEntries(const QString& modulePath);

    // S_OK, or SELFREG_E_TYPELIB / SELFREG_E_CLASS when a value cannot be
    // written.
    static com::HRESULT Register(const QString& modulePath);
    // SELFREG_E_TYPELIB when the type library is not registered (nothing is
    // removed then), SELFREG_E_CLASS when a class is not (the rest is
    // removed), else S_OK.
    static com::HRESULT Unregister();
};
