#include "CBitmap.h"
#include "CImageEncoders.h"
#include "FileBytes.h"
#include "FileTypes.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

// A picture with many colours and an alpha gradient, as photos and stickers have.
QImage NoisyPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    quint32 seed = 12345;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            line[x] = qRgba(seed >> 24, (seed >> 16) & 0xff, x * 255 / width, 255);
        }
    }
    return image;
}

EncoderChoice DocumentChoice(const QString& path)
{
    EncoderChoice choice = CImageEncoders::ChooseEncoder(path);
    choice.jpegQuality = kDocumentJpegQuality;
    return choice;
}

// First value of the first quantisation table of a JPEG file.
int FirstQuantisationValue(const QByteArray& jpeg)
{
    const qsizetype at = jpeg.indexOf(QByteArray("\xff\xdb", 2));
    return at < 0 ? -1 : uchar(jpeg[at + 5]);
}

// The compression tag (259) of the first directory of a little-endian TIFF.
int TiffCompression(const QByteArray& tiff)
{
    auto u16 = [&](qsizetype at) { return uchar(tiff[at]) | uchar(tiff[at + 1]) << 8; };
    auto u32 = [&](qsizetype at) { return u16(at) | u16(at + 2) << 16; };
    if (!tiff.startsWith("II")) {
        return -1;
    }
    const qsizetype directory = u32(4);
    for (int i = 0; i < u16(directory); ++i) {
        const qsizetype entry = directory + 2 + 12 * i;
        if (u16(entry) == 259) {
            return u16(entry + 8);
        }
    }
    return -1;
}

// The colour type of a PNG file and the level field of its first zlib
// stream header (0 for the fastest levels).
std::pair<int, int> PngTypeAndLevel(const QByteArray& png)
{
    const qsizetype idat = png.indexOf("IDAT");
    if (!png.startsWith("\x89PNG") || idat < 0) {
        return {-1, -1};
    }
    return {uchar(png[25]), uchar(png[idat + 5]) >> 6};
}

class ImageFilesTest : public ::testing::Test
{
protected:
    QString Path(const QString& name) const { return dir_.filePath(name); }

    QString SaveSample(const QString& name, const QImage& image)
    {
        const QString path = Path(name);
        EXPECT_EQ(CImageEncoders::Save(image, path, DocumentChoice(path)), Status::Ok);
        return path;
    }

    QTemporaryDir dir_;
};

} // namespace

TEST(EncoderChoiceTest, ExtensionsPickTheirEncoderWhateverTheCase)
{
    const std::pair<const char*, const char*> cases[] = {
        {"photo.JPG", "image/jpeg"},  {"a/b.jpeg", "image/jpeg"},   {"x.jpe", "image/jpeg"},
        {"x.JFIF", "image/jpeg"},     {"scan.tif", "image/tiff"},   {"scan.TIFF", "image/tiff"},
        {"p.bmp", "image/bmp"},       {"p.dib", "image/bmp"},       {"p.rle", "image/bmp"},
        {"anim.gif", "image/gif"},    {"d.PNG", "image/png"},       {"image/png", "image/png"},
        {"IMAGE/JPEG", "image/jpeg"}, {"dir.v2/a.gif", "image/gif"}};
    for (const auto& [key, mime] : cases) {
        const EncoderChoice choice = CImageEncoders::ChooseEncoder(key);
        EXPECT_TRUE(choice.found) << key;
        EXPECT_EQ(choice.mimeType, mime) << key;
        EXPECT_EQ(choice.jpegQuality, 75) << key;
        EXPECT_EQ(choice.tiffCompression, 2) << key;
    }
}

TEST(EncoderChoiceTest, UnknownOrMissingExtensionFindsNothing)
{
    for (const char* key : {"out", "photo.heic", "a.b/out", "archive.jpg.zip"}) {
        EXPECT_FALSE(CImageEncoders::ChooseEncoder(key).found) << key;
    }
}

TEST(EncoderChoiceTest, ExtensionListIsSearchedAsText)
{
    // "*.jp" occurs inside "*.jpg;*.jpeg;...", so it picks JPEG.
    EXPECT_EQ(CImageEncoders::ChooseEncoder("a.jp").mimeType, "image/jpeg");
}

TEST_F(ImageFilesTest, JpegIsWrittenAtTheChosenQuality)
{
    const QImage picture = NoisyPicture(64, 48);
    const QString document = SaveSample("photo.JPG", picture);
    EXPECT_EQ(FirstQuantisationValue(ReadAll(document)), 2); // quality 95

    const QString plain = Path("plain.jpg");
    ASSERT_EQ(CImageEncoders::Save(picture, plain, CImageEncoders::ChooseEncoder(plain)),
              Status::Ok);
    EXPECT_EQ(FirstQuantisationValue(ReadAll(plain)), 8); // quality 75
}

TEST_F(ImageFilesTest, TiffIsLzwCompressedUnderBothNames)
{
    for (const QString name : {"scan.tif", "scan.tiff"}) {
        const QString path = SaveSample(name, NoisyPicture(32, 32));
        EXPECT_EQ(TiffCompression(ReadAll(path)), 5) << name.toStdString(); // 5 = LZW
        EXPECT_FALSE(CBitmap::FromFile(path).IsNull());
    }
}

// PNG is written at the fastest zlib level, without an alpha channel when
// every pixel is opaque; every pixel comes back as it was.
TEST_F(ImageFilesTest, PngIsWrittenFastWithAlphaOnlyWhenNeeded)
{
    QImage opaque = NoisyPicture(64, 48).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QString flat = SaveSample("opaque.png", opaque);
    EXPECT_EQ(PngTypeAndLevel(ReadAll(flat)), std::make_pair(2, 0)); // RGB
    EXPECT_EQ(QImage(flat).convertToFormat(QImage::Format_ARGB32),
              opaque.convertToFormat(QImage::Format_ARGB32));

    QImage translucent = NoisyPicture(64, 48);
    translucent.setPixel(63, 47, qRgba(10, 20, 30, 128));
    const QString alpha = SaveSample("translucent.png", translucent);
    EXPECT_EQ(PngTypeAndLevel(ReadAll(alpha)), std::make_pair(6, 0)); // RGB with alpha
    EXPECT_EQ(QImage(alpha).convertToFormat(QImage::Format_ARGB32), translucent);
}

TEST_F(ImageFilesTest, LosslessFormatsRoundTrip)
{
    const QImage picture = NoisyPicture(33, 17);
    for (const QString name : {"a.png", "a.bmp", "a.tif"}) {
        const CBitmap loaded = CBitmap::FromFile(SaveSample(name, picture));
        ASSERT_FALSE(loaded.IsNull()) << name.toStdString();
        EXPECT_EQ(loaded.Image().convertToFormat(QImage::Format_RGB32),
                  picture.convertToFormat(QImage::Format_RGB32))
            << name.toStdString();
    }
}

TEST_F(ImageFilesTest, GifKeepsFewColoursExactlyAndTransparency)
{
    QImage sticker(20, 10, QImage::Format_ARGB32);
    sticker.fill(Qt::transparent);
    for (int x = 5; x < 15; ++x) {
        sticker.setPixel(x, 5, qRgb(200, 10 * x, 30));
    }
    const CBitmap loaded = CBitmap::FromFile(SaveSample("sticker.gif", sticker));
    ASSERT_FALSE(loaded.IsNull());
    const QImage argb = loaded.Image().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(argb.pixel(0, 0)), 0);
    EXPECT_EQ(argb.pixel(7, 5), qRgb(200, 70, 30));
}

TEST_F(ImageFilesTest, GifOfAPhotoIsQuantisedAndReadable)
{
    QImage photo = NoisyPicture(120, 80);
    photo.setPixel(0, 0, qRgba(0, 0, 0, 0));
    const QString path = SaveSample("photo.gif", photo);
    QImageReader reader(path);
    const QImage loaded = reader.read();
    ASSERT_FALSE(loaded.isNull());
    EXPECT_EQ(loaded.size(), photo.size());
    EXPECT_LE(loaded.colorCount(), 256);
    EXPECT_EQ(qAlpha(loaded.convertToFormat(QImage::Format_ARGB32).pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(loaded.convertToFormat(QImage::Format_ARGB32).pixel(1, 0)), 255);
}

TEST_F(ImageFilesTest, SaveWithoutEncoderTouchesNothing)
{
    const QString path = Path("keep");
    WriteAll(path, "precious");
    EXPECT_EQ(CImageEncoders::Save(NoisyPicture(4, 4), path, DocumentChoice(path)),
              Status::GenericError);
    EXPECT_EQ(ReadAll(path), "precious");
}

TEST_F(ImageFilesTest, SaveReplacesAnExistingFile)
{
    const QString path = Path("old.png");
    WriteAll(path, "not a picture");
    SaveSample("old.png", NoisyPicture(8, 8));
    EXPECT_EQ(CBitmap::FromFile(path).Width(), 8);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"old.png"});
}

TEST_F(ImageFilesTest, SaveThatFailsPartWayLeavesTheOldFileIntact)
{
    // BMP: its writer fails cleanly; others lose buffers when a write fails.
    const QString path = SaveSample("photo.bmp", NoisyPicture(16, 16));
    const QByteArray before = ReadAll(path);

    // A file size limit makes every write past 64 KiB fail, as a full disk does.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    CBitmap bitmap(NoisyPicture(600, 600));
    const Status status = bitmap.Save(path, DocumentChoice(path));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_NE(status, Status::Ok);
    EXPECT_EQ(bitmap.LastStatus(), status);
    EXPECT_EQ(ReadAll(path), before);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"photo.bmp"});
}

TEST_F(ImageFilesTest, SaveIntoAMissingFolderFails)
{
    const QString path = Path("missing/out.png");
    EXPECT_NE(CImageEncoders::Save(NoisyPicture(4, 4), path, DocumentChoice(path)), Status::Ok);
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(ImageFilesTest, DamagedFilesOfEveryFormatAreRefused)
{
    const QImage picture = NoisyPicture(200, 150);
    for (const QString name : {"a.jpg", "a.png", "a.bmp", "a.gif", "a.tif", "a.webp"}) {
        const QByteArray whole = ReadAll(SaveSample(name, picture));
        const QString cut = Path("cut-" + name);
        WriteAll(cut, whole.left(whole.size() / 2));
        const CBitmap truncated = CBitmap::FromFile(cut);
        EXPECT_TRUE(truncated.IsNull()) << name.toStdString();
        EXPECT_NE(truncated.LastStatus(), Status::Ok) << name.toStdString();

        // The magic bytes survive, the rest is noise.
        QByteArray noise = whole.left(8);
        for (int i = 0; i < 4000; ++i) {
            noise.append(char((i * 7919) >> 3));
        }
        const QString garbled = Path("noise-" + name);
        WriteAll(garbled, noise);
        EXPECT_TRUE(CBitmap::FromFile(garbled).IsNull()) << name.toStdString();
    }
}

TEST_F(ImageFilesTest, NonPicturesAreRefusedWithAStatus)
{
    WriteAll(Path("empty.jpg"), "");
    WriteAll(Path("text.png"), "hello, world");
    QDir(dir_.path()).mkdir("folder.png");
    EXPECT_EQ(CBitmap::FromFile(Path("none.png")).LastStatus(), Status::FileNotFound);
    EXPECT_EQ(CBitmap::FromFile(Path("folder.png")).LastStatus(), Status::AccessDenied);
    EXPECT_NE(CBitmap::FromFile(Path("empty.jpg")).LastStatus(), Status::Ok);
    EXPECT_NE(CBitmap::FromFile(Path("text.png")).LastStatus(), Status::Ok);
}

TEST_F(ImageFilesTest, AbsurdSizesInHeadersAreRefusedBeforeDecoding)
{
    // PNG: signature and an IHDR announcing 65535 × 65535 pixels, then nothing.
    QByteArray png("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\xff\xff\0\0\xff\xff\x08\x02\0\0\0", 29);
    png.append("\0\0\0\0", 4);
    WriteAll(Path("bomb.png"), png);
    // GIF: a logical screen of 65535 × 65535.
    WriteAll(Path("bomb.gif"),
             QByteArray("GIF89a\xff\xff\xff\xff\0\0\0,\0\0\0\0\xff\xff\xff\xff\0\x02"
                        "\x02\x44\x01\0;",
                        30));
    // BMP: 100000 × 100000 at 24 bits.
    QByteArray bmp("BM\0\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\xa0\x86\x01\0\xa0\x86\x01\0\x01\0\x18\0",
                   30);
    bmp.append(QByteArray(24, '\0'));
    WriteAll(Path("bomb.bmp"), bmp);
    for (const QString name : {"bomb.png", "bomb.gif", "bomb.bmp"}) {
        const CBitmap bitmap = CBitmap::FromFile(Path(name));
        EXPECT_TRUE(bitmap.IsNull()) << name.toStdString();
        EXPECT_NE(bitmap.LastStatus(), Status::Ok) << name.toStdString();
    }
}

TEST_F(ImageFilesTest, HundredMegapixelPictureOpens)
{
    QImage big(10000, 10000, QImage::Format_Mono);
    big.fill(1);
    const QString path = Path("big.png");
    QImageWriter writer(path, "png");
    ASSERT_TRUE(writer.write(big));
    const CBitmap loaded = CBitmap::FromFile(path);
    EXPECT_EQ(loaded.LastStatus(), Status::Ok);
    EXPECT_EQ(loaded.Width(), 10000);
}

TEST_F(ImageFilesTest, OrientationTagIsApplied)
{
    const QString path = Path("portrait.jpg");
    QImageWriter writer(path, "jpeg");
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    QImage landscape(40, 20, QImage::Format_RGB32);
    landscape.fill(Qt::white);
    landscape.setPixel(0, 0, qRgb(0, 0, 0));
    ASSERT_TRUE(writer.write(landscape));

    const CBitmap loaded = CBitmap::FromFile(path);
    ASSERT_EQ(loaded.Width(), 20);
    ASSERT_EQ(loaded.Height(), 40);
    // Turned clockwise: the top-left corner is now the top-right one.
    EXPECT_LT(qGray(loaded.Image().pixel(19, 0)), 128);

    const CBitmap thumbnail = CBitmap::Thumbnail(path, 10, 20);
    EXPECT_EQ(thumbnail.Image().size(), QSize(10, 20));
}

TEST_F(ImageFilesTest, ThumbnailHasTheExactSizeAsked)
{
    const QString path = SaveSample("large.jpg", NoisyPicture(1200, 800));
    const CBitmap thumbnail = CBitmap::Thumbnail(path, 60, 60);
    EXPECT_EQ(thumbnail.Image().size(), QSize(60, 60));
    EXPECT_TRUE(CBitmap::Thumbnail(Path("missing.jpg"), 60, 60).IsNull());
}

TEST(BitmapTest, CopyKeepsThePixelFormat)
{
    for (const QImage::Format format :
         {QImage::Format_RGB888, QImage::Format_ARGB32, QImage::Format_Indexed8}) {
        const CBitmap source(NoisyPicture(5, 3).convertToFormat(format));
        const CBitmap copy = source.Copy();
        EXPECT_EQ(copy.PixelFormat(), format);
        EXPECT_EQ(copy.Image(), source.Image());
        EXPECT_NE(copy.Image().constBits(), source.Image().constBits());
    }
    EXPECT_TRUE(CBitmap().Copy().IsNull());
}

TEST(BitmapTest, ResampleGivesTheTargetSizeAndFormat)
{
    CBitmap bitmap(NoisyPicture(100, 50));
    EXPECT_EQ(bitmap.Resample(30, 70, QImage::Format_ARGB32_Premultiplied), Status::Ok);
    EXPECT_EQ(bitmap.Image().size(), QSize(30, 70));
    EXPECT_EQ(bitmap.PixelFormat(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(bitmap.Resample(0, 10, QImage::Format_RGB32), Status::InvalidParameter);
    EXPECT_EQ(bitmap.LastStatus(), Status::InvalidParameter);
    EXPECT_EQ(bitmap.Image().size(), QSize(30, 70));
}

TEST(BitmapTest, ResampleAtTheOwnSizeKeepsEveryPixelAsDrawingDoes)
{
    QImage clear = NoisyPicture(64, 48).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < clear.height(); ++y) {
        for (int x = 0; x < clear.width() / 2; ++x) {
            clear.setPixel(x, y, qPremultiply(qRgba(200, 40, 90, x * 8)));
        }
    }
    for (const QImage& picture :
         {NoisyPicture(64, 48).convertToFormat(QImage::Format_RGB32), clear}) {
        QImage drawn(picture.size(), QImage::Format_ARGB32_Premultiplied);
        drawn.fill(Qt::transparent);
        QPainter painter(&drawn);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.drawImage(QRect(QPoint(0, 0), picture.size()), picture);
        painter.end();
        CBitmap bitmap(picture);
        ASSERT_EQ(bitmap.Resample(64, 48, QImage::Format_ARGB32_Premultiplied), Status::Ok);
        EXPECT_TRUE(bitmap.Image() == drawn) << picture.format();
    }
}

TEST(BitmapTest, RotateFlipTurnsClockwiseThenMirrors)
{
    // 2 × 1: red on the left, blue on the right.
    QImage pair(2, 1, QImage::Format_RGB32);
    pair.setPixel(0, 0, qRgb(255, 0, 0));
    pair.setPixel(1, 0, qRgb(0, 0, 255));
    struct Case
    {
        RotateFlipType type;
        QSize size;
        QPoint red;
    };
    const Case cases[] = {
        {RotateFlipType::RotateNoneFlipNone, {2, 1}, {0, 0}},
        {RotateFlipType::Rotate90FlipNone, {1, 2}, {0, 0}},
        {RotateFlipType::Rotate180FlipNone, {2, 1}, {1, 0}},
        {RotateFlipType::Rotate270FlipNone, {1, 2}, {0, 1}},
        {RotateFlipType::RotateNoneFlipX, {2, 1}, {1, 0}},
        {RotateFlipType::Rotate180FlipX, {2, 1}, {0, 0}},
    };
    for (const Case& c : cases) {
        CBitmap bitmap(pair);
        ASSERT_EQ(bitmap.RotateFlip(c.type), Status::Ok);
        EXPECT_EQ(bitmap.Image().size(), c.size) << int(c.type);
        EXPECT_EQ(bitmap.Image().pixel(c.red), qRgb(255, 0, 0)) << int(c.type);
    }
}

TEST(FileTypesTest, FilterOffersAllPicturesThenEachType)
{
    const QStringList filters = FileTypes::DialogFilters();
    EXPECT_TRUE(filters[0].startsWith("모든이미지 (*.JPG *.jpg *.JPEG"));
    EXPECT_TRUE(QString(FileTypes::kImageFilter).endsWith("*.AVIF \t\t\t\t\t\t\t||"));
    EXPECT_EQ(FileTypes::WithDefaultExtension("card"), "card.BMP");
    EXPECT_EQ(FileTypes::WithDefaultExtension("card.jpg"), "card.jpg");
}
