// Takes the editor's screenshots for the documentation: run under xvfb-run
// with the output folder as the argument.
#include "CAboutDialog.h"
#include "CEditorApp.h"
#include "CMainFrame.h"
#include "ProgramIcon.h"

#include <QApplication>
#include <QDir>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>

namespace {

void Wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void Grab(const QWidget* frame, const QString& path)
{
    Wait(300);
    const QRect area = frame->frameGeometry();
    QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .save(path);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pixvel"));
    QApplication::setWindowIcon(ProgramIcon());
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    const QStringList arguments =
        argc > 2 ? QStringList{QString::fromLocal8Bit(argv[2])} : QStringList{};
    CEditorApp editor(arguments);
    editor.InitInstance();
    CMainFrame* frame = editor.MainFrame();
    frame->move(0, 0);
    frame->resize(1100, 780);
    frame->ApplyDefaultBarSizes();
    Grab(frame, out + "/main-window.png");

    const QList<QAction*> menus = frame->menuBar()->actions();
    const char* names[] = {"main-menu-file.png", "main-menu-view.png", "main-menu-help.png"};
    for (int index = 0; index < menus.size() && index < 3; ++index) {
        frame->menuBar()->setActiveAction(menus[index]);
        Grab(frame, out + "/" + names[index]);
        menus[index]->menu()->close();
    }
    frame->menuBar()->setActiveAction(nullptr);

    frame->Receive(msg::WithIndexes(msg::kContextMenu, 0, {1}));
    Wait(200);
    frame->ItemMenu()->popup(frame->mapToGlobal(QPoint(420, 300)));
    Wait(200);
    frame->CropMenu()->menuAction()->setEnabled(true);
    frame->ItemMenu()->setActiveAction(frame->CropMenu()->menuAction());
    Wait(300);
    Grab(frame, out + "/main-item-menu.png");
    frame->ItemMenu()->close();

    CAboutDialog about(frame);
    about.show();
    about.move(frame->geometry().center() - QPoint(about.width() / 2, about.height() / 2));
    Wait(300);
    const QRect box = about.frameGeometry();
    QGuiApplication::primaryScreen()
        ->grabWindow(0, box.x(), box.y(), box.width(), box.height())
        .save(out + "/main-about.png");
    return 0;
}
