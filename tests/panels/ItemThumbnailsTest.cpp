#include "CItemFolder.h"
#include "CThumbnailWorker.h"
#include "CUsedItemList.h"
#include "ItemLibraryTesting.h"

#include <QDir>
#include <QtEndian>

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <atomic>
#include <chrono>
#include <mutex>

namespace {

QByteArray Chunk(const char* type, const QByteArray& data)
{
    QByteArray chunk(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), chunk.data());
    const QByteArray body = QByteArray(type, 4) + data;
    chunk += body;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(
        quint32(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size()))),
        crc.data());
    return chunk + crc;
}

// A well-formed PNG header announcing width × height RGBA pixels, followed
// by `rows` rows of zeros.
QByteArray AnnouncedPng(quint32 width, quint32 height, int rows)
{
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(width, header.data());
    qToBigEndian<quint32>(height, header.data() + 4);
    header[8] = 8; // bits per channel
    header[9] = 6; // RGBA
    const QByteArray zeros(qsizetype(rows) * (1 + 4 * qsizetype(width)), '\0');
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", header) +
           Chunk("IDAT", qCompress(zeros).mid(4)) + Chunk("IEND", {});
}

bool AllWhite(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) {
                return false;
            }
        }
    }
    return true;
}

class ItemThumbnailsTest : public WidgetTest
{
protected:
    CItemFiles files_;
};

// ---- listing

TEST_F(ItemThumbnailsTest, ListsRegularFilesWithAnExactItemExtensionOnly)
{
    const QString folder = files_.Folder(QStringLiteral("flowers.2007"));
    for (const char* name : {"star.png", "Star.PNG", "readme.txt", ".png", "noext", "a.jpeg",
                             "b.svgz", "c.jpg.bak", "d.wbmp", "e.Jpg", "f.webp", "g.WEBP"}) {
        files_.Write(QStringLiteral("flowers.2007/") + name, "x");
    }
    files_.Folder(QStringLiteral("flowers.2007/sub.png"));              // a folder
    files_.Write(QStringLiteral("flowers.2007/sub.png/deep.png"), "x"); // not searched
    ASSERT_EQ(mkfifo(QFile::encodeName(files_.Path("flowers.2007/pipe.png")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), files_.Path("flowers.2007/x.png")));

    QStringList names;
    const QStringList paths = CItemFolder::ItemFiles(folder);
    for (const QString& path : paths) {
        EXPECT_TRUE(path.startsWith(folder + QLatin1Char('/')));
        names.append(path.mid(folder.size() + 1));
    }
    names.sort();
    EXPECT_EQ(names, (QStringList{"a.jpeg", "b.svgz", "d.wbmp", "f.webp", "star.png", "x.png"}));
    EXPECT_EQ(CItemFolder::ItemFiles(folder), paths) << "one stable order";
    EXPECT_EQ(CItemFolder::ItemFiles(folder + QLatin1Char('/')), paths);
    EXPECT_TRUE(CItemFolder::ItemFiles(files_.Path("missing")).isEmpty());
    EXPECT_EQ(CItemFolder::kExtensions.size(), 32U);
}

TEST_F(ItemThumbnailsTest, CategoriesAreTheSubfoldersWithTheirFullNames)
{
    const QString items = files_.Folder(QStringLiteral("items"));
    files_.Folder(QStringLiteral("items/하트"));
    files_.Folder(QStringLiteral("items/flowers.2007"));
    files_.Folder(QStringLiteral("items/하트/inner"));
    files_.Write(QStringLiteral("items/text.png"), "x");
    QStringList categories = CItemFolder::Categories(items);
    categories.sort();
    EXPECT_EQ(categories, (QStringList{"flowers.2007", "하트"}));
    EXPECT_TRUE(CItemFolder::Categories(files_.Path("nothing")).isEmpty());
}

TEST_F(ItemThumbnailsTest, RowNamesDropFolderAndLastExtension)
{
    EXPECT_EQ(CItemFolder::RowName("/i/flowers.2007/rose.big.png"), "rose.big");
    EXPECT_EQ(CItemFolder::RowName("/i/flowers.2007/.hidden"), ".hidden");
    EXPECT_EQ(CItemFolder::RowName(QStringLiteral("문자열")), QStringLiteral("문자열"));
    EXPECT_EQ(CItemFolder::RowName("/i/a/noext"), "noext");
}

// ---- geometry and decoding

TEST_F(ItemThumbnailsTest, GeometryKeepsTheShapeOnTheSquare)
{
    EXPECT_EQ(CThumbnailMaker::Geometry({120, 60}), QRect(0, 15, 60, 30));
    EXPECT_EQ(CThumbnailMaker::Geometry({60, 120}), QRect(15, 0, 30, 60));
    EXPECT_EQ(CThumbnailMaker::Geometry({33, 33}), QRect(0, 0, 60, 60));
    EXPECT_EQ(CThumbnailMaker::Geometry({1600, 1200}), QRect(0, 7, 60, 45));
    EXPECT_EQ(CThumbnailMaker::Geometry({70, 100}), QRect(9, 0, 42, 60));
    EXPECT_EQ(CThumbnailMaker::Geometry({1, 1000}), QRect(29, 0, 1, 60)) << "never 0 wide";
}

TEST_F(ItemThumbnailsTest, PicturesAreScaledOntoAWhiteSquare)
{
    const Thumbnail wide = CThumbnailMaker::Make(files_.Picture("wide.png", {120, 60}));
    EXPECT_EQ(wide.placed, QRect(0, 15, 60, 30));
    ASSERT_EQ(wide.square.size(), QSize(60, 60));
    EXPECT_EQ(wide.square.pixel(30, 14), qRgb(255, 255, 255));
    EXPECT_EQ(wide.square.pixel(30, 15), qRgb(255, 0, 0));
    EXPECT_EQ(wide.square.pixel(30, 44), qRgb(255, 0, 0));
    EXPECT_EQ(wide.square.pixel(30, 45), qRgb(255, 255, 255));

    const Thumbnail clear =
        CThumbnailMaker::Make(files_.Picture("clear.png", {60, 120}, Qt::transparent));
    EXPECT_EQ(clear.placed, QRect(15, 0, 30, 60));
    EXPECT_TRUE(AllWhite(clear.square)) << "transparent parts show the white square";

    const Thumbnail photo =
        CThumbnailMaker::Make(files_.Picture("photo.jpg", {4000, 3000}, Qt::blue, "jpeg"));
    EXPECT_EQ(photo.placed, QRect(0, 7, 60, 45));
    EXPECT_LT(qRed(photo.square.pixel(30, 30)), 20);
    EXPECT_GT(qBlue(photo.square.pixel(30, 30)), 230);
}

TEST_F(ItemThumbnailsTest, BadFilesGiveAWhiteSquareWithoutHangingOrReadingDevices)
{
    const QByteArray jpeg = [this] {
        QFile file(files_.Picture("whole.jpg", {400, 300}, Qt::green, "jpeg"));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();
    const QByteArray png = [this] {
        QFile file(files_.Picture("whole.png", {400, 300}, Qt::green));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();
    QImage huge(20000, 20000, QImage::Format_Mono);
    huge.fill(1);
    ASSERT_TRUE(huge.save(files_.Path("huge.png")));
    huge = QImage();
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), files_.Path("x.png")));
    ASSERT_EQ(mkfifo(QFile::encodeName(files_.Path("pipe.png")).constData(), 0600), 0);

    const QStringList bad = {
        files_.Write("corrupt.png", QByteArray("\x89PNG\r\n\x1a\n") + QByteArray(500, 'z')),
        files_.Write("cut.jpg", jpeg.left(jpeg.size() / 2)),
        files_.Write("cut.png", png.left(png.size() / 2)),
        files_.Write("empty.png", {}),
        files_.Write("bomb.png", AnnouncedPng(30000, 30000, 100)),
        files_.Path("huge.png"),
        files_.Path("x.png"),
        files_.Path("pipe.png"),
        files_.Folder("folder.png"),
        files_.Path("missing.png"),
    };
    for (const QString& path : bad) {
        const auto start = std::chrono::steady_clock::now();
        const Thumbnail thumbnail = CThumbnailMaker::Make(path);
        EXPECT_TRUE(thumbnail.placed.isEmpty()) << path.toStdString();
        EXPECT_EQ(thumbnail.square.size(), QSize(60, 60));
        EXPECT_TRUE(AllWhite(thumbnail.square)) << path.toStdString();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5))
            << path.toStdString();
    }
}

// ---- the worker

// Collects what a worker hands over.
struct CRows
{
    std::mutex lock;
    std::vector<ThumbnailRow> rows;
    void Take(ThumbnailRow row)
    {
        const std::scoped_lock guard(lock);
        rows.push_back(std::move(row));
    }
    size_t Count()
    {
        const std::scoped_lock guard(lock);
        return rows.size();
    }
};

TEST_F(ItemThumbnailsTest, WorkerHandsRowsOverInListOrderFromTwoThreads)
{
    QStringList paths;
    for (int index = 0; index < 60; ++index) {
        // Big and small pictures alternate, so the two threads finish out of order.
        const QSize size = index % 3 == 0 ? QSize(900, 700) : QSize(20, 10 + index);
        paths.append(files_.Picture(QStringLiteral("p%1.png").arg(index), size, Qt::red));
    }
    paths.insert(5, CItemFolder::kTextItem);
    paths.insert(9, files_.Path("gone.png"));
    files_.Picture("text.bmp", {40, 20}, Qt::black, "bmp");

    CRows rows;
    CThumbnailWorker worker(
        paths, files_.Path("text.bmp"), [&rows](ThumbnailRow row) { rows.Take(std::move(row)); },
        2);
    worker.Start();
    ASSERT_TRUE(worker.Wait(30000));
    ASSERT_EQ(rows.rows.size(), size_t(paths.size()));
    for (int index = 0; index < paths.size(); ++index) {
        EXPECT_EQ(rows.rows[size_t(index)].index, index);
        EXPECT_EQ(rows.rows[size_t(index)].path, paths[index]);
    }
    EXPECT_EQ(rows.rows[5].name, QStringLiteral("문자열"));
    EXPECT_EQ(rows.rows[5].thumbnail.placed, QRect(0, 15, 60, 30)) << "text.bmp stands in";
    EXPECT_EQ(rows.rows[6].name, "p5");
    EXPECT_TRUE(rows.rows[9].thumbnail.placed.isEmpty());

    CRows white;
    CThumbnailWorker missingText({CItemFolder::kTextItem}, files_.Path("none/text.bmp"),
                                 [&white](ThumbnailRow row) { white.Take(std::move(row)); });
    missingText.Start();
    ASSERT_TRUE(missingText.Wait(5000));
    ASSERT_EQ(white.rows.size(), 1U);
    EXPECT_TRUE(AllWhite(white.rows[0].thumbnail.square));
}

TEST_F(ItemThumbnailsTest, AStoppedWorkerHandsNothingMoreOver)
{
    QStringList paths;
    for (int index = 0; index < 40; ++index) {
        paths.append(files_.Picture(QStringLiteral("s%1.png").arg(index), {700, 700}));
    }
    for (int round = 0; round < 12; ++round) {
        std::atomic<int> calls = 0;
        std::atomic<bool> stopped = false;
        std::atomic<int> late = 0;
        {
            CThumbnailWorker worker(paths, QString(), [&](ThumbnailRow) {
                ++calls;
                late += stopped ? 1 : 0;
            });
            worker.Start();
            std::this_thread::sleep_for(std::chrono::milliseconds(round % 5));
            worker.RequestStop();
            stopped = true;
            const auto start = std::chrono::steady_clock::now();
            EXPECT_TRUE(worker.Wait(2000));
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2000));
        }
        EXPECT_EQ(late, 0);
        EXPECT_LT(calls, 40);
    }
}

// ---- the used-items list

TEST_F(ItemThumbnailsTest, UsedItemsFollowTheDocumentIndexes)
{
    CUsedItemList used;
    used.StartPicture("base.jpg");
    for (const char* item : {"i1", "i2", "i3"}) {
        used.Add(item);
    }
    EXPECT_EQ(used.Entries(), (QStringList{"i3", "i2", "i1", "base.jpg"}));
    EXPECT_EQ(used.DocumentIndexAt(0), 3);
    EXPECT_EQ(used.DocumentIndexAt(3), 0) << "the base picture's row";

    CUsedItemList deleted = used;
    EXPECT_TRUE(deleted.Remove({2}));
    EXPECT_EQ(deleted.Entries(), (QStringList{"i3", "i1", "base.jpg"}));
    EXPECT_FALSE(deleted.Remove({0, 7})) << "the base picture and unknown indexes stay";
    EXPECT_TRUE(deleted.Remove({2, 1}));
    EXPECT_EQ(deleted.Entries(), (QStringList{"base.jpg"}));

    CUsedItemList moved = used;
    EXPECT_TRUE(moved.Move(1, 3));
    EXPECT_EQ(moved.Entries(), (QStringList{"i1", "i3", "i2", "base.jpg"}));
    EXPECT_TRUE(moved.Move(1, 2)); // i2 (now at the bottom) one up
    EXPECT_EQ(moved.Entries(), (QStringList{"i1", "i2", "i3", "base.jpg"}));
    EXPECT_FALSE(moved.Move(0, 2));
    EXPECT_FALSE(moved.Move(1, 4));

    used.Clear();
    EXPECT_TRUE(used.Entries().isEmpty());
    used.Add(QStringLiteral("문자열"));
    EXPECT_EQ(used.DocumentIndexAt(0), 1);
}

} // namespace
