#pragma once

#include <QString>

namespace platform {

// An installation that the package manager made: one folder for all users,
// read-only for them, marked by a file in it. It keeps no settings of its
// own; each user's are made at that user's first start of a program from
// it, with the items folder in the user's own data folder.
class CPackagedInstallation
{
public:
    static constexpr const char* kMarkFile = ".pixvel-package";
    static constexpr const char* kSettingsKey = "HKEY_CURRENT_USER\\Software\\Pixvel";
    static constexpr const char* kModuleFile = "libvelunarctrl.so";

    // The folder of the running program (links resolved, so /usr/bin/pixvel
    // gives the installation folder it points into).
    static QString ProgramFolder();
    // True when `folder` holds the mark.
    static bool IsPackaged(const QString& folder);
    // $XDG_DATA_HOME/pixvel/items (~/.local/share/pixvel/items).
    static QString UserItemsFolder();
    // When `programFolder` is a packaged installation and the user has no
    // APPS_PATH yet: writes APPS_PATH (the folder) and DOWNLOAD_FOLDER (the
    // user's items folder, absolute), makes that folder and registers the
    // folder's launcher module for this user. No INFO_URL: the package
    // manager updates the installation. Returns whether it set anything up;
    // a step that fails is told on standard error and the rest goes on, so
    // the program still starts.
    static bool SetUpUser(const QString& programFolder = ProgramFolder());
};

} // namespace platform
