// HEIC and AVIF (read through libheif) and WebP (read and written through
// Qt). HEIF files are made by libheif's own encoder, heif-enc or its library,
// and what the editor decodes is compared with what heif-convert writes.

#include "CBitmap.h"
#include "CImageEncoders.h"
#include "CItemFolder.h"
#include "CPictureReader.h"
#include "CThumbnailMaker.h"
#include "FileBytes.h"
#include "FileTypes.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <libheif/heif.h>

#include <gtest/gtest.h>

namespace {

// Four coloured quarters over a gradient: a turn or a mirror moves the red
// quarter to another corner.
QImage MarkedPicture(int width, int height, bool withAlpha)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool right = x >= width / 2;
            const bool bottom = y >= height / 2;
            const int alpha = withAlpha ? 55 + 200 * x / width : 255;
            const QRgb colour = !right && !bottom  ? qRgba(230, 20, 20, alpha)
                                : right && !bottom ? qRgba(20, 200, 40, alpha)
                                : !right           ? qRgba(30, 40, 220, alpha)
                                         : qRgba(x * 255 / width, y * 255 / height, 128, alpha);
            image.setPixel(x, y, colour);
        }
    }
    return withAlpha ? image : image.convertToFormat(QImage::Format_RGB32);
}

bool RunProgram(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString()
                      << " failed: " << process.readAllStandardError().toStdString();
        return false;
    }
    return true;
}

// Largest difference of any channel between two pictures of the same size.
int LargestDifference(const QImage& a, const QImage& b)
{
    EXPECT_EQ(a.size(), b.size());
    if (a.size() != b.size()) {
        return 256;
    }
    const QImage left = a.convertToFormat(QImage::Format_ARGB32);
    const QImage right = b.convertToFormat(QImage::Format_ARGB32);
    int largest = 0;
    for (int y = 0; y < left.height(); ++y) {
        for (int x = 0; x < left.width(); ++x) {
            const QRgb p = left.pixel(x, y);
            const QRgb q = right.pixel(x, y);
            largest =
                std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    }
    return largest;
}

bool IsReddish(QRgb pixel)
{
    return qRed(pixel) > 150 && qGreen(pixel) < 90 && qBlue(pixel) < 90;
}

// Writes a HEIC file through libheif's encoder with the given orientation,
// which libheif stores as the file's turn and mirror.
bool WriteHeicWithOrientation(const QImage& picture, heif_orientation orientation,
                              const QString& path)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    heif_image* image = nullptr;
    heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGB,
                      &image);
    heif_image_add_plane(image, heif_channel_interleaved, rgb.width(), rgb.height(), 8);
    int stride = 0;
    uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < rgb.height(); ++y) {
        std::memcpy(plane + qsizetype(y) * stride, rgb.constScanLine(y), size_t(rgb.width()) * 3);
    }
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder);
    heif_encoder_set_lossy_quality(encoder, 90);
    heif_encoding_options* options = heif_encoding_options_alloc();
    options->image_orientation = orientation;
    const heif_error encoded = heif_context_encode_image(context, image, encoder, options, nullptr);
    const heif_error written =
        encoded.code == heif_error_Ok
            ? heif_context_write_to_file(context, QFile::encodeName(path).constData())
            : encoded;
    heif_encoding_options_free(options);
    heif_encoder_release(encoder);
    heif_image_release(image);
    heif_context_free(context);
    return written.code == heif_error_Ok;
}

class PhoneAndWebFormatsTest : public ::testing::Test
{
protected:
    QString Path(const QString& name) const { return dir_.filePath(name); }

    // A HEIC or AVIF made by heif-enc from a PNG of the picture.
    QString Encode(const QImage& picture, const QString& name, const QStringList& options = {})
    {
        const QString png = Path(name + ".source.png");
        EXPECT_TRUE(picture.save(png));
        RunProgram("heif-enc", options + QStringList{"-q", "80", "-o", Path(name), png});
        return Path(name);
    }

    // What heif-convert decodes of a file.
    QImage Converted(const QString& path)
    {
        const QString png = path + ".converted.png";
        RunProgram("heif-convert", {"--quiet", path, png});
        return QImage(png);
    }

    QTemporaryDir dir_;
};

// Photos open as RGB32 and stickers premultiplied with their transparency,
// each exactly as heif-convert decodes it.
TEST_F(PhoneAndWebFormatsTest, HeicAndAvifDecodeAsHeifConvertDoes)
{
    for (const bool alpha : {false, true}) {
        const QImage picture = MarkedPicture(96, 64, alpha);
        const QImage::Format format =
            alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
        for (const char* suffix : {".heic", ".avif"}) {
            const QString name = QString(alpha ? "sticker" : "photo") + suffix;
            SCOPED_TRACE(name.toStdString());
            const QString path = Encode(picture, name);
            const CBitmap loaded = CBitmap::FromFile(path);
            ASSERT_EQ(loaded.LastStatus(), Status::Ok);
            EXPECT_EQ(loaded.PixelFormat(), format);
            EXPECT_EQ(loaded.Image(), Converted(path).convertToFormat(format));
            QSize probed;
            EXPECT_EQ(CBitmap::Probe(path, &probed), Status::Ok);
            EXPECT_EQ(probed, QSize(96, 64));
            if (!alpha) { // lossy, but still the picture that went in
                EXPECT_LE(LargestDifference(loaded.Image(), picture), 40);
            }
        }
    }
}

TEST_F(PhoneAndWebFormatsTest, TenBitPicturesOpenAsEightBit)
{
    const QImage deep =
        MarkedPicture(64, 48, false).convertToFormat(QImage::Format_RGBX64); // a 16-bit PNG
    // (Debian 12's aom stops on 10-bit AVIF with this subsampling; HEVC only.)
    const QString path = Encode(deep, "deep.heic", {"-b", "10"});
    const CBitmap loaded = CBitmap::FromFile(path);
    ASSERT_EQ(loaded.LastStatus(), Status::Ok);
    EXPECT_EQ(loaded.PixelFormat(), QImage::Format_RGB32);
    // heif-convert keeps 16 bits a channel; the editor's 8 are within one step.
    EXPECT_LE(LargestDifference(loaded.Image(), Converted(path)), 1);
}

TEST_F(PhoneAndWebFormatsTest, TheFilesOwnTurnAndMirrorAreApplied)
{
    // Red starts top-left on a 80×48 picture.
    struct Case
    {
        heif_orientation orientation;
        QSize shown;
        QPoint red; // a point inside the red quarter once shown
    };
    const Case cases[] = {
        {heif_orientation_normal, {80, 48}, {5, 5}},
        {heif_orientation_flip_horizontally, {80, 48}, {74, 5}},
        {heif_orientation_rotate_180, {80, 48}, {74, 42}},
        {heif_orientation_flip_vertically, {80, 48}, {5, 42}},
        {heif_orientation_rotate_90_cw_then_flip_horizontally, {48, 80}, {5, 5}},
        {heif_orientation_rotate_90_cw, {48, 80}, {42, 5}},
        {heif_orientation_rotate_90_cw_then_flip_vertically, {48, 80}, {42, 74}},
        {heif_orientation_rotate_270_cw, {48, 80}, {5, 74}},
    };
    const QImage picture = MarkedPicture(80, 48, false);
    for (const Case& c : cases) {
        const QString path = Path(QString("turned-%1.heic").arg(int(c.orientation)));
        ASSERT_TRUE(WriteHeicWithOrientation(picture, c.orientation, path));
        QSize probed;
        ASSERT_EQ(CBitmap::Probe(path, &probed), Status::Ok) << int(c.orientation);
        EXPECT_EQ(probed, c.shown) << int(c.orientation);
        const CBitmap loaded = CBitmap::FromFile(path);
        ASSERT_EQ(loaded.Image().size(), c.shown) << int(c.orientation);
        EXPECT_TRUE(IsReddish(loaded.Image().pixel(c.red))) << int(c.orientation);
        EXPECT_EQ(LargestDifference(loaded.Image(), Converted(path)), 0) << int(c.orientation);
        const CBitmap thumbnail =
            CBitmap::Thumbnail(path, c.shown.width() / 4, c.shown.height() / 4);
        EXPECT_TRUE(IsReddish(thumbnail.Image().pixel(c.red / 4))) << int(c.orientation);
    }
}

TEST_F(PhoneAndWebFormatsTest, DamagedAndOversizedHeifFilesAreRefused)
{
    const QString path = Encode(MarkedPicture(64, 64, false), "photo.heic");
    const QByteArray whole = ReadAll(path);
    ASSERT_TRUE(CPictureReader::Recognises(path));

    WriteAll(Path("cut.heic"), whole.left(whole.size() - 40));
    EXPECT_NE(CBitmap::FromFile(Path("cut.heic")).LastStatus(), Status::Ok);

    // The file-type box survives, the rest is noise.
    QByteArray noise = whole.left(32);
    for (int i = 0; i < 4000; ++i) {
        noise.append(char((i * 7919) >> 3));
    }
    WriteAll(Path("noise.heic"), noise);
    EXPECT_TRUE(CBitmap::FromFile(Path("noise.heic")).IsNull());

    // The picture claims 20000 × 20000 pixels: refused from the header, as
    // JPEG is, before anything is decoded.
    QByteArray huge = whole;
    const qsizetype ispe = huge.indexOf("ispe");
    ASSERT_GT(ispe, 0);
    huge.replace(ispe + 8, 8, QByteArray("\0\0\x4e\x20\0\0\x4e\x20", 8));
    WriteAll(Path("huge.heic"), huge);
    QSize probed;
    EXPECT_EQ(CBitmap::Probe(Path("huge.heic"), &probed), Status::OutOfMemory);
    EXPECT_EQ(CBitmap::FromFile(Path("huge.heic")).LastStatus(), Status::OutOfMemory);
}

TEST_F(PhoneAndWebFormatsTest, WebpKeepsTransparencyLosslessAndWritesPhotosAtQuality90)
{
    const QImage sticker =
        MarkedPicture(120, 90, true).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QString stickerPath = Path("sticker.webp");
    ASSERT_EQ(CBitmap(sticker).Save(stickerPath, CImageEncoders::ChooseEncoder(stickerPath)),
              Status::Ok);
    const CBitmap stickerBack = CBitmap::FromFile(stickerPath);
    EXPECT_EQ(QImageReader(stickerPath).format(), "webp");
    EXPECT_EQ(LargestDifference(stickerBack.Image(), sticker), 0);

    const QImage photo = MarkedPicture(120, 90, false).convertToFormat(QImage::Format_RGB32);
    const QString photoPath = Path("photo.WEBP");
    ASSERT_EQ(CBitmap(photo).Save(photoPath, CImageEncoders::ChooseEncoder(photoPath)), Status::Ok);
    QBuffer atNinety;
    atNinety.open(QIODevice::WriteOnly);
    QImageWriter writer(&atNinety, "webp");
    writer.setQuality(90);
    ASSERT_TRUE(writer.write(photo));
    EXPECT_EQ(ReadAll(photoPath), atNinety.data());
    const CBitmap photoBack = CBitmap::FromFile(photoPath);
    EXPECT_EQ(photoBack.PixelFormat(), QImage::Format_RGB32);
    // Lossy: the quarters keep their colours away from the edges.
    for (const QPoint inside : {QPoint(15, 15), QPoint(105, 15), QPoint(15, 75)}) {
        EXPECT_LE(LargestDifference(photoBack.Image().copy(QRect(inside, QSize(4, 4))),
                                    photo.copy(QRect(inside, QSize(4, 4)))),
                  12);
    }

    const QByteArray whole = ReadAll(photoPath);
    WriteAll(Path("cut.webp"), whole.left(whole.size() / 2));
    EXPECT_TRUE(CBitmap::FromFile(Path("cut.webp")).IsNull());

    // A WebP sticker in the item library: a 120 × 90 picture fills the width.
    const Thumbnail thumbnail = CThumbnailMaker::Make(stickerPath);
    EXPECT_EQ(thumbnail.placed, QRect(0, 7, 60, 45));
    // The half-transparent red quarter over the square's white.
    const QRgb pale = thumbnail.square.pixel(10, 15);
    EXPECT_GT(qRed(pale), qGreen(pale) + 40);
}

TEST_F(PhoneAndWebFormatsTest, DialogsOfferTheNewTypesAndSaveOnlyWhatIsWritten)
{
    const QStringList open = FileTypes::DialogFilters();
    ASSERT_EQ(open.size(), 9);
    EXPECT_TRUE(open[0].contains("*.webp") && open[0].contains("*.HEIC") &&
                open[0].contains("*.avif"));
    EXPECT_TRUE(open[5].startsWith("TIF파일(*.TIF;*.TIFF) (*.TIF *.tif *.TIFF *.tiff)"));
    EXPECT_EQ(open[6], "WEBP파일(*.WEBP) (*.WEBP *.webp)");
    EXPECT_EQ(open[7], "HEIC파일(*.HEIC;*.HEIF) (*.HEIC *.heic *.HEIF *.heif)");
    EXPECT_EQ(open[8], "AVIF파일(*.AVIF) (*.AVIF *.avif)");

    const QStringList save = FileTypes::SaveDialogFilters();
    EXPECT_EQ(save.mid(1), open.mid(1, 6));
    EXPECT_TRUE(save[0].contains("*.webp"));
    EXPECT_FALSE(save[0].contains("heic", Qt::CaseInsensitive) ||
                 save[0].contains("heif", Qt::CaseInsensitive) ||
                 save[0].contains("avif", Qt::CaseInsensitive));

    EXPECT_EQ(CImageEncoders::ChooseEncoder("x.webp").mimeType, "image/webp");
    for (const char* readOnly : {"x.heic", "x.HEIF", "x.avif"}) {
        const QString path = Path(readOnly);
        EXPECT_FALSE(CImageEncoders::ChooseEncoder(path).found) << readOnly;
        EXPECT_NE(CImageEncoders::Save(MarkedPicture(4, 4, false), path,
                                       CImageEncoders::ChooseEncoder(path)),
                  Status::Ok);
        EXPECT_FALSE(QFile::exists(path)) << readOnly;
    }
    EXPECT_TRUE(CItemFolder::IsItemFileName("star.webp"));
    EXPECT_FALSE(CItemFolder::IsItemFileName("star.WEBP"));
}

} // namespace
