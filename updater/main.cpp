// PixvelUpdate INSTALL_FOLDER EDITOR_NAME INFO_URL INSTALLED_VERSION: keeps
// the installation current. Ends at once, showing nothing, when there is
// nothing to update.

#include "CPartialFiles.h"
#include "CUpdateDialog.h"
#include "QtTranslations.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char** argv)
{
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
