#pragma once

#include "CToolArguments.h"

// `pixvel-tool setup --apps-path DIR [--info-url URL] [--update-key FILE]`:
// makes an installed folder usable: the settings under
// HKEY_CURRENT_USER\Software\Pixvel (the update address and key only when
// given), the launcher module's registration and the desktop entries.
// Running it again changes nothing more. `--remove` undoes all of it.
class CSetupCommand
{
public:
    static const char* const kOptions;
    static constexpr const char* kSettingsKey = "HKEY_CURRENT_USER\\Software\\Pixvel";
    static constexpr const char* kModuleFile = "libvelunarctrl.so";

    static int Run(CToolArguments& arguments);
};
