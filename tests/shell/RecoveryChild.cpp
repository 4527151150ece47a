// Not a test: the editor as the recovery test runs it in a process of its
// own, to be killed. It starts as the program does with the picture named
// on its command line, places a sticker through the frame as the item
// library does, writes the picture it then shows to EXPECTED, and goes on
// running until it is killed.

#include "CEditorApp.h"
#include "CItemCanvas.h"
#include "CMainFrame.h"
#include "Messages.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pixvel"));
    const QStringList words = QApplication::arguments();
    if (words.size() != 3) {
        return 2;
    }
    // The open-size dialog of the picture is answered with its own size.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->accept();
        }
    });
    answer.start(5);
    CEditorApp editor({words[1]});
    if (!editor.InitInstance()) {
        return 1;
    }
    answer.stop();
    QImage sticker(40, 30, QImage::Format_ARGB32_Premultiplied);
    sticker.fill(QColor(200, 30, 60, 180));
    msg::ItemDropRequest request; // x and y −1: the picture's centre
    request.entries.push_back({QStringLiteral("sticker.png"), sticker});
    editor.MainFrame()->Receive(msg::WithDrop(std::move(request)));
    if (!CItemCanvas::Instance().Composite().save(words[2], "png")) {
        return 3;
    }
    return QApplication::exec();
}
