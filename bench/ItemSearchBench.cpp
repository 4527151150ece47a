// Times the item library's search field on 5,000 items in 50 categories
// (Korean and Latin names, on /dev/shm): from a key typed in the field to
// the list holding the results, and to the first result row on screen.
// The field taking the focus reads the names of every category first.
// Every later answer is a median of many keys.

#include "BenchTimer.h"
#include "CItemLibraryPanel.h"
#include "CItemSearch.h"
#include "CItemThumbnailList.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kCategories = 50;
constexpr int kPerCategory = 100;

// Writes the same small PNG under 5,000 names.
void MakeItems(const QString& install)
{
    QImage sticker(64, 64, QImage::Format_ARGB32);
    sticker.fill(QColor(255, 120, 0, 200));
    const QString png = QDir(install).filePath("sticker.png");
    sticker.save(png);
    QFile source(png);
    source.open(QIODevice::ReadOnly);
    const QByteArray bytes = source.readAll();
    const char* const words[] = {"하트", "별", "꽃", "heart", "star", "Flower", "리본", "Ribbon"};
    for (int category = 0; category < kCategories; ++category) {
        const QString folder =
            QDir(install).filePath(QStringLiteral("items/분류%1").arg(category, 2, 10, QChar('0')));
        QDir().mkpath(folder);
        for (int n = 0; n < kPerCategory; ++n) {
            const QString name =
                QStringLiteral("%1_%2_%3.png")
                    .arg(QString::fromUtf8(words[n % 8]), QString::fromUtf8(words[(n / 8) % 8]))
                    .arg(category * kPerCategory + n, 4, 10, QChar('0'));
            QFile file(QDir(folder).filePath(name));
            file.open(QIODevice::WriteOnly);
            file.write(bytes);
        }
    }
}

// Types one key and returns the milliseconds until the results are listed
// and until the first of them is on screen (the second is 0 when none
// matched).
std::pair<double, double> TimeKey(CItemLibraryPanel& panel, Qt::Key key, char text)
{
    CItemThumbnailList* list = panel.List();
    QElapsedTimer timer;
    timer.start();
    if (text != 0) {
        QTest::keyClick(panel.SearchField(), text);
    } else {
        QTest::keyClick(panel.SearchField(), key);
    }
    const double listed = double(timer.nsecsElapsed()) / 1e6;
    if (list->ShownPaths().isEmpty()) {
        return {listed, 0};
    }
    while (list->count() == 0) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    list->viewport()->repaint();
    return {listed, double(timer.nsecsElapsed()) / 1e6};
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir install(QStringLiteral("/dev/shm/pixvel-search-XXXXXX"));
    MakeItems(install.path());

    CItemLibraryPanel panel(nullptr, install.path());
    panel.resize(1000, 130);
    panel.show();
    panel.activateWindow();
    if (!QTest::qWaitForWindowActive(&panel)) {
        std::fprintf(stderr, "the panel's window did not become active\n");
        return 1;
    }
    std::printf("%d items in %d categories\n", kCategories * kPerCategory, kCategories);

    // The field taking the focus reads every category's names.
    QElapsedTimer focus;
    focus.start();
    panel.SearchField()->setFocus();
    PrintFigure("focus to the field (names read)", double(focus.nsecsElapsed()) / 1e6);
    const auto [firstListed, firstShown] = TimeKey(panel, Qt::Key_unknown, 's');
    PrintFigure("first key: results listed", firstListed);
    PrintFigure("first key: first row shown", firstShown);

    // Then a typing session: "star_" one key at a time, back to empty with
    // Backspace, and again; the field's text is the search each time.
    std::vector<double> listed;
    std::vector<double> shown;
    for (int round = 0; round < 20; ++round) {
        for (const char c : std::string("tar_h")) {
            const auto [l, s] = TimeKey(panel, Qt::Key_unknown, c);
            listed.push_back(l);
            shown.push_back(s);
        }
        for (int n = 0; n < 5; ++n) {
            const auto [l, s] = TimeKey(panel, Qt::Key_Backspace, 0);
            listed.push_back(l);
            shown.push_back(s);
        }
    }
    std::erase(shown, 0.0);
    PrintFigure("key: results listed (median)", Median(listed));
    PrintFigure("key: first row shown (median)", Median(shown));
    PrintFigure("key: first row shown (slowest)", *std::max_element(shown.begin(), shown.end()));

    const QString items = QDir(install.path()).filePath("items");
    QStringList folders;
    for (const QString& category : QDir(items).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        folders.append(QDir(items).filePath(category));
    }
    CItemSearch search;
    PrintFigure("index of 5000 names, built",
                MedianMilliseconds(10, [&] { search.Build(folders); }));
    PrintFigure("find \"하트 star\" in 5000 names",
                MedianMilliseconds(50, [&] { (void)search.Find(QStringLiteral("하트 star")); }));
    return 0;
}
