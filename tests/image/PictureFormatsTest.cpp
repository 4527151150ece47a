// Pictures of every PNG colour type and bit depth (plain and interlaced, with
// and without a transparency colour) and every BMP layout (bottom-up and
// top-down rows, palettes, bit fields, run-length data, the old and the newer
// headers) open with the pixels an independent decoder reads from them, and
// reach the pipeline in one of its two formats. The files and the reference
// pixels come from data/pictures/make_pictures.py.
#include "CBitmap.h"
#include "CItemCanvas.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

QT_BEGIN_NAMESPACE
// Test names and failures show the file name.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << text.toStdString();
}
QT_END_NAMESPACE

namespace {

const QString kFolder = QStringLiteral(PIXVEL_TEST_DATA "/pictures");

// The largest difference of one channel between the loaded picture and the
// reference pixels, both premultiplied (so that the colour of a fully
// transparent pixel does not count). 16-bit samples may round either way.
struct Difference
{
    int largest = 0;
    QPoint at;
    QRgb ours = 0;
    QRgb theirs = 0;
};

std::ostream& operator<<(std::ostream& out, const Difference& difference)
{
    return out << "largest difference " << difference.largest << " at (" << difference.at.x()
               << ", " << difference.at.y() << "): ours " << std::hex << difference.ours
               << ", reference " << difference.theirs << std::dec;
}

Difference Compare(const QImage& loaded, const QByteArray& reference)
{
    const QImage ours = loaded.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    const QImage theirs = QImage(reinterpret_cast<const uchar*>(reference.constData()),
                                 ours.width(), ours.height(), QImage::Format_RGBA8888)
                              .convertToFormat(QImage::Format_RGBA8888_Premultiplied);
    Difference difference;
    for (int y = 0; y < ours.height(); ++y) {
        const uchar* a = ours.constScanLine(y);
        const uchar* b = theirs.constScanLine(y);
        for (int i = 0; i < ours.width() * 4; ++i) {
            if (const int d = std::abs(int(a[i]) - int(b[i])); d > difference.largest) {
                difference = {d, QPoint(i / 4, y), ours.pixel(i / 4, y), theirs.pixel(i / 4, y)};
            }
        }
    }
    return difference;
}

// Decoders widen 5- and 6-bit samples in slightly different ways; every
// other sample must agree to rounding.
int Tolerance(const QString& name)
{
    return name.startsWith(QStringLiteral("bmp-16-")) ? 8 : 1;
}

class PictureFormatsTest : public ::testing::TestWithParam<QString>
{
};

TEST_P(PictureFormatsTest, OpensWithTheReferencePixelsInAPipelineFormat)
{
    const QString path = QDir(kFolder).filePath(GetParam());
    QFile referenceFile(path + QStringLiteral(".rgba"));
    ASSERT_TRUE(referenceFile.open(QIODevice::ReadOnly));
    const QByteArray reference = referenceFile.readAll();

    const CBitmap bitmap = CBitmap::FromFile(path);
    ASSERT_EQ(bitmap.LastStatus(), Status::Ok);
    ASSERT_FALSE(bitmap.IsNull());
    ASSERT_EQ(qsizetype(bitmap.Width()) * bitmap.Height() * 4, reference.size());
    const QImage::Format format = bitmap.PixelFormat();
    EXPECT_TRUE(format == QImage::Format_RGB32 || format == CItemCanvas::kCompatibleFormat)
        << "format " << int(format);
    const Difference difference = Compare(bitmap.Image(), reference);
    EXPECT_LE(difference.largest, Tolerance(GetParam())) << difference;
}

QStringList PictureNames()
{
    return QDir(kFolder).entryList({QStringLiteral("*.png"), QStringLiteral("*.bmp")}, QDir::Files,
                                   QDir::Name);
}

std::string TestName(const ::testing::TestParamInfo<QString>& info)
{
    QString name = info.param;
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")), QStringLiteral("_"));
    return name.toStdString();
}

INSTANTIATE_TEST_SUITE_P(EveryLayout, PictureFormatsTest, ::testing::ValuesIn(PictureNames()),
                         TestName);

TEST(PictureFormatsSetTest, CoversEveryPngColourTypeAndBmpLayout)
{
    const QStringList names = PictureNames();
    for (const char* expected :
         {"png-c0-16-i-trns.png", "png-c2-16-trns.png", "png-c2-16-i-trns.png", "png-c3-1.png",
          "png-c4-16.png", "png-c6-16-i.png", "bmp-8-td.bmp", "bmp-4-rle.bmp", "bmp-24-core.bmp",
          "bmp-32-argb-v5-td.bmp"}) {
        EXPECT_TRUE(names.contains(QString::fromLatin1(expected))) << expected;
    }
}

} // namespace
