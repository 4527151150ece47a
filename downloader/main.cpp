// PixvelDownloader KEY: fetches the item packages a web page asks for.
// KEY is the settings key below HKEY_CURRENT_USER (as "Software\Pixvel");
// requests arrive through the window link under the title
// "PixvelDownloader" (pixvel-tool send, or the launcher module).

#include "CDownloaderWindow.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>

namespace {

// Qt's own dialog buttons and texts in Korean, whatever the system language.
void LoadKoreanTranslation(QApplication& application)
{
    auto* translator = new QTranslator(&application);
    if (translator->load("qtbase_ko", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(translator);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    LoadKoreanTranslation(application);
    CDownloaderWindow window;
    if (!window.Initialise(application.arguments().mid(1))) {
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
