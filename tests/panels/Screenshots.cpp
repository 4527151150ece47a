// Takes the item library's screenshots for the documentation: the editor
// with a category of stickers in its bottom bar, after a double-click on one
// of them, with the results of a search, and with a frame found by the
// search and stretched over the picture (사진에 맞추기). Run under xvfb-run with the settings of
// scripts/run's sample installation (PIXVEL_REGISTRY_DIR):
//   panels_screenshots OUT_FOLDER PICTURE

#include "CCategoryTabStrip.h"
#include "CEditorApp.h"
#include "CItemBar.h"
#include "CItemLibraryPanel.h"
#include "CItemThumbnailList.h"
#include "CMainFrame.h"
#include "COpenSizeDialog.h"
#include "CommandIds.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

void Grab(const QWidget* frame, const QString& path)
{
    QTest::qWait(400);
    const QRect area = frame->frameGeometry();
    QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .save(path);
}

void ClickTab(CCategoryTabStrip* strip, int tab)
{
    const QPolygon shape = strip->TabShape(tab);
    QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint((shape[0].x() + shape[1].x()) / 2, 6));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pixvel"));
    if (argc < 3) {
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QTimer accept;
    QObject::connect(&accept, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<COpenSizeDialog*>(QApplication::activeModalWidget())) {
            dialog->accept();
        }
    });
    accept.start(50);
    CEditorApp editor({QString::fromLocal8Bit(argv[2])});
    editor.InitInstance();
    accept.stop();
    CMainFrame* frame = editor.MainFrame();
    frame->move(0, 0);
    frame->ApplyDefaultBarSizes();

    CItemLibraryPanel* library = frame->ItemBar()->Library();
    CItemThumbnailList* list = library->List();
    // The hearts, wherever the file system puts their folder among the tabs.
    CCategoryTabStrip* strip = library->TabStrip();
    int hearts = 1;
    for (int tab = 1; tab < strip->Count(); ++tab) {
        hearts = strip->Caption(tab) == QStringLiteral("하트") ? tab : hearts;
    }
    ClickTab(strip, hearts);
    if (!QTest::qWaitFor([list] { return !list->Loading(); }, 5000)) {
        return 1;
    }
    Grab(frame, out + "/item-library.png");

    const QPoint row = list->visualItemRect(list->item(std::min(2, list->count() - 1))).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row);
    Grab(frame, out + "/item-library-placed.png");

    QLineEdit* search = library->SearchField();
    search->setFocus();
    QTest::keyClicks(search, "heart");
    if (!QTest::qWaitFor([list] { return list->count() > 0 && !list->Loading(); }, 5000)) {
        return 1;
    }
    Grab(frame, out + "/item-library-search.png");

    search->selectAll();
    QTest::keyClicks(search, "wood");
    if (!QTest::qWaitFor([list] { return list->count() == 1; }, 5000)) {
        return 1;
    }
    const QPoint frameRow = list->visualItemRect(list->item(0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, frameRow);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, frameRow);
    const long placed = frame->View()->ItemCount() - 1;
    frame->Receive(msg::WithIndexes(msg::kContextMenu, msg::kFromItemLibrary,
                                    {static_cast<uint32_t>(placed)}));
    frame->RunCommand(cmd::kFitToPicture);
    frame->ItemMenu()->close();
    QTest::keyClick(search, Qt::Key_Escape);
    Grab(frame, out + "/item-library-frame.png");
    return 0;
}
