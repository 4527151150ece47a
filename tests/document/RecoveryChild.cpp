// Not a test: the editor as the recovery and update tests run it in a
// process of its own, to be killed or stopped by an update (which installs
// it as "Pixvel"). Started with PICTURE EXPECTED, it starts as the program
// does with the picture, places a sticker through the frame as the item
// library does (an unsaved change), writes the picture it then shows to
// EXPECTED and goes on running until it is ended. Started without arguments
// (as the updater restarts it), it answers the recovery question with Yes,
// writes the question to asked.txt and the picture it then shows to
// recovered.png beside itself, and ends.

#include "CEditorApp.h"
#include "CItemCanvas.h"
#include "CMainFrame.h"
#include "Messages.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pixvel"));
    const QStringList words = QApplication::arguments();
    if (words.size() != 1 && words.size() != 3) {
        return 2;
    }
    const QDir folder(QApplication::applicationDirPath());
    // The open-size dialog is answered with the picture's own size, the
    // recovery question with Yes.
    QString asked;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&asked] {
        QWidget* top = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(top)) {
            asked = box->text();
            box->button(QMessageBox::Yes)->click();
        } else if (auto* dialog = qobject_cast<QDialog*>(top)) {
            dialog->accept();
        }
    });
    answer.start(5);
    CEditorApp editor(words.mid(1, 1));
    if (!editor.InitInstance()) {
        return 1;
    }
    answer.stop();
    if (words.size() == 1) {
        QFile record(folder.filePath("asked.txt"));
        record.open(QIODevice::WriteOnly);
        record.write(asked.toUtf8());
        record.close();
        CItemCanvas::Instance().Composite().save(folder.filePath("recovered.png"), "png");
        return 0;
    }
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
