#include "CEditorApp.h"
#include "CPackagedInstallation.h"
#include "ProgramIcon.h"
#include "QtTranslations.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    platform::LoadQtTranslations(application);
    QApplication::setApplicationName(QStringLiteral("Pixvel"));
    QApplication::setApplicationVersion(QStringLiteral("1.5.0.0"));
    QApplication::setWindowIcon(ProgramIcon());
    // The first start from a packaged installation makes this user's settings.
    platform::CPackagedInstallation::SetUpUser();
    CEditorApp editor(QApplication::arguments().mid(1));
    if (!editor.InitInstance()) {
        return 1;
    }
    const int result = QApplication::exec();
    editor.ExitInstance();
    return result;
}
