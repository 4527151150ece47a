#pragma once

namespace com {

// Where classes are registered in the settings store: keys below
// HKEY_CLASSES_ROOT ("CLSID\{...}\InprocServer32", "ProgID\CLSID"...), each
// key's default value stored under this name.
inline constexpr const char* kClassesRoot = "HKEY_CLASSES_ROOT\\";
inline constexpr const char* kDefaultValueName = "@";

} // namespace com
