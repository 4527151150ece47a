// Takes the screenshots of README's "Run it": the item service's news and
// item shop pages as a plain rich-text browser shows them, the editor's news
// tab and its item library showing a category that a shop link brought. Run
// under xvfb-run with the settings of an installation that has received the
// 반짝이 package, while the service of its INFO_URL runs:
//   system_screenshots OUT_FOLDER SITE_FOLDER

#include "CCategoryTabStrip.h"
#include "CEditorApp.h"
#include "CImageToolBar.h"
#include "CImageToolPanel.h"
#include "CItemBar.h"
#include "CItemLibraryPanel.h"
#include "CItemThumbnailList.h"
#include "CMainFrame.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>

namespace {

void Grab(const QWidget* window, const QString& path)
{
    QTest::qWait(400);
    const QRect area = window->frameGeometry();
    QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .save(path);
}

void GrabPage(const QString& page, const QString& path)
{
    QTextBrowser browser;
    browser.resize(860, 640);
    browser.move(0, 0);
    browser.setSource(QUrl::fromLocalFile(page));
    browser.show();
    Grab(&browser, path);
}

int FindTab(const CCategoryTabStrip* strip, const QString& caption)
{
    for (int tab = 0; tab < strip->Count(); ++tab) {
        if (strip->Caption(tab) == caption) {
            return tab;
        }
    }
    return -1;
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
    const QDir site(QString::fromLocal8Bit(argv[2]) + "/pixvel");
    QDir().mkpath(out);
    GrabPage(site.filePath("news.html"), out + "/service-news.png");
    GrabPage(site.filePath("item_mall.html"), out + "/service-item-shop.png");

    // The editor without a picture: the item library is what matters here.
    CEditorApp editor({});
    editor.InitInstance();
    editor.MainFrame()->move(0, 0);
    editor.MainFrame()->ApplyDefaultBarSizes();
    CItemLibraryPanel* library = editor.MainFrame()->ItemBar()->Library();
    const int tab = FindTab(library->TabStrip(), QStringLiteral("반짝이"));
    if (tab < 0) {
        return 1;
    }
    const QPolygon shape = library->TabStrip()->TabShape(tab);
    QTest::mouseClick(library->TabStrip(), Qt::LeftButton, {},
                      QPoint((shape[0].x() + shape[1].x()) / 2, 6));
    if (!QTest::qWaitFor([library] { return !library->List()->Loading(); }, 5000)) {
        return 1;
    }
    Grab(editor.MainFrame(), out + "/item-library-downloaded.png");

    editor.MainFrame()->ImageToolBar()->ToolPanel()->SwitchTab(CImageToolPanel::kNewsTab);
    QTest::qWait(1500); // the news page arrives from the service
    Grab(editor.MainFrame(), out + "/news-tab.png");
    return 0;
}
