#pragma once

#include "CToolArguments.h"

// `pixvel-tool setup --apps-path DIR [--info-url URL] [--update-key FILE]`:
// makes an installed folder usable: the settings under
// HKEY_CURRENT_USER\Software\Pixvel (the update address and key only when
// given), the launcher module's registration and the desktop entries.
// Running it again changes nothing more. `--remove` undoes all of it for the
// installation the settings name, removing only what was written and the
// settings folders that this emptied.
class CSetupCommand
{
public:
    static const char* const kOptions;
    static constexpr const char* kSettingsKey = "HKEY_CURRENT_USER\\Software\\Pixvel";
    static constexpr const char* kModuleFile = "libvelunarctrl.so";
    // The file cmake --install leaves in every installation folder.
    static constexpr const char* kMarkerFile = ".pixvel-installation";

    static int Run(CToolArguments& arguments);
};
