// PixvelDownloader KEY: fetches the item packages a web page asks for.
// KEY is the settings key below HKEY_CURRENT_USER (as "Software\Pixvel");
// requests arrive through the window link under the title
// "PixvelDownloader" (pixvel-tool send, or the launcher module).

#include "CDownloaderWindow.h"

#include "CPackagedInstallation.h"
#include "CPartialFiles.h"
#include "QtTranslations.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    platform::LoadQtTranslations(application);
    CPartialFiles::InstallSignalCleanup();
    platform::CPackagedInstallation::SetUpUser();
    CDownloaderWindow window;
    if (!window.Initialise(application.arguments().mid(1))) {
        return 1;
    }
    if (const QString problem = platform::CWindowLink::FolderProblem(); !problem.isEmpty()) {
        std::fprintf(stderr, "PixvelDownloader: %s\n", qPrintable(problem));
        return 1;
    }
    if (!window.StartListening()) {
        std::fprintf(stderr, "PixvelDownloader: another window already has the title %s\n",
                     CDownloaderWindow::kTitle);
        return 1;
    }
    window.show();
    return application.exec();
}
