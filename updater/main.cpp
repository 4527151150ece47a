// PixvelUpdate INSTALL_FOLDER EDITOR_NAME INFO_URL INSTALLED_VERSION: keeps
// the installation current. Ends at once, showing nothing, when there is
// nothing to update.

#include "CPackagedInstallation.h"
#include "CPartialFiles.h"
#include "CUpdateDialog.h"
#include "QtTranslations.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (platform::CPackagedInstallation::IsPackaged(
            platform::CPackagedInstallation::ProgramFolder())) {
        std::fputs("PixvelUpdate: this installation is updated by the system's package manager "
                   "(apt); there is nothing to do here.\n",
                   stderr);
        return 0;
    }
    QApplication application(argc, argv);
    platform::LoadQtTranslations(application);
    CPartialFiles::InstallSignalCleanup();
    const auto arguments = CUpdater::ParseArguments(application.arguments().mid(1));
    if (!arguments) {
        return 0;
    }
    CUpdateDialog dialog(*arguments);
    if (!dialog.Prepare()) {
        return 0;
    }
    dialog.show();
    const int code = application.exec();
    if (dialog.WorkerRunning()) {
        // Closed during a transfer: the process ends with it, taking the
        // transfer's partial file along.
        CPartialFiles::RemoveAll();
        std::_Exit(code);
    }
    return code;
}
