#include "CItemFolder.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ToolRun
{
    int exitCode = -1;
    QStringList lines;
    QString error;
};

ToolRun Thumbnails(const QStringList& arguments)
{
    QProcess process;
    process.start(PIXVEL_TOOL, QStringList{"thumbnails"} + arguments);
    process.waitForFinished(60000);
    return {process.exitCode(),
            QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
            QString::fromUtf8(process.readAllStandardError())};
}

// The tool lists and thumbnails a folder exactly as the item library does:
// same order, same geometry, white squares for what cannot be decoded.
TEST(ThumbnailsCommandTest, PrintsEachRowInListOrderAndWritesTheSheet)
{
    QTemporaryDir dir;
    QTemporaryDir out;
    const QSize sizes[] = {{120, 60}, {60, 120}, {50, 50}};
    for (int index = 0; index < 12; ++index) {
        QImage picture(sizes[index % 3], QImage::Format_RGB32);
        picture.fill(Qt::red);
        ASSERT_TRUE(picture.save(dir.filePath(QStringLiteral("p%1.png").arg(index))));
    }
    QFile broken(dir.filePath("broken.jpg"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    QFile(dir.filePath("notes.txt")).open(QIODevice::WriteOnly);

    const ToolRun run = Thumbnails({dir.path(), "--sheet", out.filePath("sheet.png")});
    ASSERT_EQ(run.exitCode, 0) << run.error.toStdString();
    const QStringList paths = CItemFolder::ItemFiles(dir.path());
    ASSERT_EQ(run.lines.size(), paths.size());
    ASSERT_EQ(paths.size(), 13);
    for (int row = 0; row < paths.size(); ++row) {
        const QString name = CItemFolder::RowName(paths[row]);
        const QString expected = name == "broken"               ? QStringLiteral("-")
                                 : name.mid(1).toInt() % 3 == 0 ? QStringLiteral("60×30+0+15")
                                 : name.mid(1).toInt() % 3 == 1 ? QStringLiteral("30×60+15+0")
                                                                : QStringLiteral("60×60+0+0");
        EXPECT_EQ(run.lines[row], name + '\t' + expected);
    }

    const QImage sheet(out.filePath("sheet.png"));
    ASSERT_EQ(sheet.size(), QSize(600, 120));
    const int brokenRow = int(paths.indexOf(dir.filePath("broken.jpg")));
    const QPoint square((brokenRow % 10) * 60, (brokenRow / 10) * 60);
    EXPECT_EQ(sheet.pixel(square + QPoint(30, 30)), qRgb(255, 255, 255));
    const QPoint first(0, 0);
    EXPECT_EQ(sheet.pixel(first + QPoint(30, 30)),
              brokenRow == 0 ? qRgb(255, 255, 255) : qRgb(255, 0, 0));
}

TEST(ThumbnailsCommandTest, RefusesAMissingFolderInOneLine)
{
    const ToolRun run = Thumbnails({"/nonexistent/items"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.lines.isEmpty());
    EXPECT_EQ(run.error.count('\n'), 1);
}

} // namespace
