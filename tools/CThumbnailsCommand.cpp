#include "CThumbnailsCommand.h"

#include "CItemFolder.h"
#include "CThumbnailWorker.h"
#include "CToolError.h"

#include <QFileInfo>
#include <QPainter>

#include <cstdio>
#include <vector>

const char* const CThumbnailsCommand::kOptions =
    "      --sheet OUT.png   also write the thumbnails as a contact sheet: rows of\n"
    "                        ten 60x60 squares, in list order\n"
    "      Each line is NAME<TAB>WxH+LEFT+TOP, or NAME<TAB>- for a file that\n"
    "      cannot be decoded (it shows as a white square).\n";

namespace {

constexpr int kSheetColumns = 10;

QByteArray Line(const ThumbnailRow& row)
{
    const QRect placed = row.thumbnail.placed;
    const QString where = placed.isEmpty() ? QStringLiteral("-")
                                           : QStringLiteral("%1×%2+%3+%4")
                                                 .arg(placed.width())
                                                 .arg(placed.height())
                                                 .arg(placed.left())
                                                 .arg(placed.top());
    return (row.name + QLatin1Char('\t') + where + QLatin1Char('\n')).toUtf8();
}

void WriteSheet(const std::vector<QImage>& squares, const QString& path)
{
    if (squares.empty()) {
        throw CToolError(QStringLiteral("no item files in the folder: no sheet written"));
    }
    const int count = int(squares.size());
    const int size = CThumbnailMaker::kSize;
    QImage sheet(std::min(count, kSheetColumns) * size,
                 (count + kSheetColumns - 1) / kSheetColumns * size, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (int index = 0; index < count; ++index) {
        painter.drawImage((index % kSheetColumns) * size, (index / kSheetColumns) * size,
                          squares[size_t(index)]);
    }
    painter.end();
    if (!sheet.save(path)) {
        throw CToolError(QStringLiteral("cannot write the sheet '%1'").arg(path));
    }
}

} // namespace

int CThumbnailsCommand::Run(CToolArguments& arguments)
{
    const QString folder =
        arguments.Take(QStringLiteral("FOLDER (usage: pixvel-tool thumbnails FOLDER [--sheet "
                                      "OUT.png])"));
    QString sheet;
    while (!arguments.AtEnd()) {
        const QString option = arguments.Take(QStringLiteral("an option"));
        if (option != QLatin1String("--sheet")) {
            throw CToolError(QStringLiteral("unknown option '%1'").arg(option));
        }
        sheet = arguments.Take(QStringLiteral("a file after --sheet"));
    }
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isReadable()) {
        throw CToolError(QStringLiteral("cannot read the folder '%1'").arg(folder));
    }

    std::vector<QImage> squares;
    CThumbnailWorker worker(CItemFolder::ItemFiles(folder), QString(),
                            [&squares, keep = !sheet.isEmpty()](ThumbnailRow row) {
                                const QByteArray line = Line(row);
                                std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
                                if (keep) {
                                    squares.push_back(std::move(row.thumbnail.square));
                                }
                            });
    worker.Start();
    while (!worker.Wait(1000)) {
    }
    std::fflush(stdout);
    if (!sheet.isEmpty()) {
        WriteSheet(squares, sheet);
    }
    return 0;
}
