// Colour matrix, gamma and the draw of a picture through its effects.

#include "CColourMatrix.h"
#include "CEffectPainter.h"
#include "CImageAttributes.h"
#include "ItemEffects.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

QImage RandomPicture(int width, int height, unsigned seed, QImage::Format format)
{
    std::mt19937 random(seed);
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            line[x] = random();
        }
    }
    return image.convertToFormat(format);
}

QImage Uniform(QRgb colour, int size = 4)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// The picture drawn with its effects over white, as rendering does.
QImage OnWhite(const QImage& picture, const ItemEffects& effects)
{
    QImage composite(picture.size(), QImage::Format_RGB32);
    composite.fill(Qt::white);
    QPainter painter(&composite);
    const QRectF place(QPointF(0, 0), picture.size());
    CEffectPainter::Draw(painter, picture, effects,
                         {place.topLeft(), place.topRight(), place.bottomLeft()});
    return composite;
}

QRgb Centre(const QImage& image)
{
    return image.pixel(image.width() / 2, image.height() / 2);
}

// One pixel through the written fixed-point formula and the gamma table.
QRgb ReferencePixel(const CImageAttributes& attributes, QRgb pixel)
{
    const int in[4] = {qBlue(pixel), qGreen(pixel), qRed(pixel), qAlpha(pixel)};
    int out[4];
    for (int to = 0; to < 4; ++to) {
        long long sum = attributes.Coefficient(4, to);
        for (int from = 0; from < 4; ++from) {
            sum += (long long)in[from] * attributes.Coefficient(from, to);
        }
        const int value = int(std::clamp(sum >> CImageAttributes::kFractionBits, 0LL, 255LL));
        out[to] = to < 3 ? attributes.GammaTable()[value] : value;
    }
    return qRgba(out[2], out[1], out[0], out[3]);
}

} // namespace

TEST(ColourMatrixTest, BuildsTheWrittenMatrices)
{
    const CColourMatrix scale = CColourMatrix::Scale(2, 3, 4, 5);
    EXPECT_EQ(scale.At(1, 1), 3.0f);
    EXPECT_EQ(scale.At(3, 3), 5.0f);
    const CColourMatrix translate = CColourMatrix::Translate(0.1f, 0.2f, 0.3f, 0.4f);
    EXPECT_EQ(translate.At(4, 2), 0.3f);
    // Appending acts after: scale by 2, then add 0.1.
    CColourMatrix m = CColourMatrix::Scale(2, 2, 2, 1);
    m.Append(CColourMatrix::Translate(0.1f, 0.1f, 0.1f, 0));
    EXPECT_FLOAT_EQ(m.At(0, 0), 2.0f);
    EXPECT_FLOAT_EQ(m.At(4, 0), 0.1f);
    m.Prepend(CColourMatrix::Scale(3, 3, 3, 1));
    EXPECT_FLOAT_EQ(m.At(0, 0), 6.0f);
    EXPECT_FLOAT_EQ(m.At(4, 0), 0.1f);
    // Saturation 0 gives every output the luminance of the input.
    const CColourMatrix grey = CColourMatrix::Saturation(0);
    EXPECT_FLOAT_EQ(grey.At(0, 1), CColourMatrix::kLumRed);
    EXPECT_FLOAT_EQ(grey.At(1, 1), CColourMatrix::kLumGreen);
    EXPECT_FLOAT_EQ(grey.At(2, 0), CColourMatrix::kLumBlue);
}

TEST(ColourMatrixTest, HueRotationKeepsLuminanceAndTurnsFullCircle)
{
    // The frame around the rotation undoes itself: 0 and 360 degrees leave
    // every colour as it is.
    for (int hue : {0, 360}) {
        CColourMatrix m;
        m.AppendHue(hue);
        for (int row = 0; row < 5; ++row) {
            for (int column = 0; column < 5; ++column) {
                EXPECT_NEAR(m.At(row, column), row == column ? 1.0f : 0.0f, 1e-5) << hue;
            }
        }
    }
    const float lum[3] = {CColourMatrix::kLumRed, CColourMatrix::kLumGreen,
                          CColourMatrix::kLumBlue};
    for (int hue : {-180, -90, 20, 45, 120, 180}) {
        CColourMatrix m;
        m.AppendHue(hue);
        for (int row = 0; row < 3; ++row) {
            float luminance = 0;
            for (int column = 0; column < 3; ++column) {
                luminance += m.At(row, column) * lum[column];
            }
            EXPECT_NEAR(luminance, lum[row], 1e-5) << hue;
        }
    }
}

TEST(ColourMatrixTest, CoefficientsStayInFixedPointRangeOverAdjustmentRanges)
{
    float largest = 0;
    for (int hue = -180; hue <= 180; hue += 15) {
        for (int saturation : {0, 100, 300}) {
            for (float contrast : {0.2f, 4.0f}) {
                for (int brightness : {-100, 100}) {
                    for (bool invert : {false, true}) {
                        ItemEffects effects;
                        effects.hue = hue;
                        effects.saturation = saturation;
                        effects.contrast = contrast;
                        effects.brightness = brightness;
                        effects.invert = invert;
                        const CColourMatrix m = CColourMatrix::FromEffects(effects);
                        for (const auto& row : m.Values()) {
                            for (float value : row) {
                                largest = std::max(largest, std::abs(value));
                            }
                        }
                    }
                }
            }
        }
    }
    EXPECT_LT(largest, CImageAttributes::kMaxCoefficient);
}

TEST(ImageAttributesTest, FastPathEqualsWrittenFormula)
{
    std::mt19937 random(5);
    // Large enough to be split across threads, with an odd width.
    const QImage source = RandomPicture(1001, 300, 9, QImage::Format_ARGB32);
    for (int round = 0; round < 6; ++round) {
        ItemEffects effects;
        effects.hue = int(random() % 361) - 180;
        effects.saturation = int(random() % 301);
        effects.brightness = int(random() % 201) - 100;
        effects.contrast = 0.2f + float(random() % 381) * 0.01f;
        effects.gamma = round % 2 ? 1.0f : 0.2f + float(random() % 381) * 0.01f;
        effects.invert = round == 3;
        effects.opacity = int(random() % 101);
        const CImageAttributes attributes(CColourMatrix::FromEffects(effects), effects.gamma);
        const QImage result = attributes.Apply(source);
        ASSERT_EQ(result.format(), QImage::Format_ARGB32);
        for (int y = 0; y < source.height(); ++y) {
            for (int x = 0; x < source.width(); ++x) {
                ASSERT_EQ(result.pixel(x, y), ReferencePixel(attributes, source.pixel(x, y)))
                    << "round " << round << " at " << x << "," << y;
            }
        }
    }
}

TEST(ImageAttributesTest, MatrixMixingAlphaAndColoursEqualsWrittenFormula)
{
    // Not built by the effects, but a colour matrix may mix alpha and colours.
    CColourMatrix::Rows rows = CColourMatrix().Values();
    rows[3][0] = 0.5f;  // alpha adds to red
    rows[1][3] = -0.3f; // green takes from alpha
    rows[4][2] = 0.1f;
    const CImageAttributes attributes(CColourMatrix(rows), 0.7f);
    const QImage source = RandomPicture(700, 400, 12, QImage::Format_ARGB32);
    const QImage result = attributes.Apply(source);
    for (int y = 0; y < source.height(); ++y) {
        for (int x = 0; x < source.width(); ++x) {
            ASSERT_EQ(result.pixel(x, y), ReferencePixel(attributes, source.pixel(x, y)))
                << x << "," << y;
        }
    }
}

TEST(ImageAttributesTest, GammaAboveOneDarkens)
{
    const CImageAttributes attributes(CColourMatrix(), 2.0f);
    EXPECT_FALSE(attributes.IsIdentity());
    // floor(255 × (128 / 255)²) = 64; 0 and 255 stay.
    EXPECT_EQ(attributes.GammaTable()[128], 64);
    EXPECT_EQ(attributes.GammaTable()[0], 0);
    EXPECT_EQ(attributes.GammaTable()[255], 255);
    const QImage result = attributes.Apply(Uniform(qRgb(128, 255, 0)));
    EXPECT_EQ(result.format(), QImage::Format_RGB32);
    EXPECT_EQ(Centre(result), qRgb(64, 255, 0));
}

TEST(EffectPainterTest, CreationValuesDrawTheBitmapUnchanged)
{
    const ItemEffects effects;
    EXPECT_FALSE(effects.SharpenActive());
    EXPECT_FALSE(effects.BlurActive());
    EXPECT_TRUE(CImageAttributes(CColourMatrix::FromEffects(effects), 1.0f).IsIdentity());
    const QImage opaque = RandomPicture(64, 48, 1, QImage::Format_RGB32);
    EXPECT_EQ(OnWhite(opaque, effects), opaque);
    const QImage sticker = RandomPicture(64, 48, 2, QImage::Format_ARGB32);
    EXPECT_EQ(CEffectPainter::Apply(sticker, effects), sticker);
}

TEST(EffectPainterTest, LeavesTheItemsBitmapAlone)
{
    const QImage bitmap = RandomPicture(300, 200, 8, QImage::Format_RGB32);
    const QImage before = bitmap.copy();
    ItemEffects effects;
    effects.sharpenAmount = 2.0f;
    effects.blurRadius = 1.5f;
    effects.hue = 40;
    const QImage drawn = CEffectPainter::Apply(bitmap, effects);
    EXPECT_NE(drawn, before);
    EXPECT_EQ(bitmap, before);
}

TEST(EffectPainterTest, GreyscaleEqualsSaturationZeroAndWins)
{
    const QImage picture = RandomPicture(32, 32, 3, QImage::Format_RGB32);
    ItemEffects grey;
    grey.saturation = 0;
    ItemEffects flag;
    flag.greyscale = true;
    flag.saturation = 250;
    const QImage expected = OnWhite(picture, grey);
    EXPECT_EQ(OnWhite(picture, flag), expected);
    const QRgb pixel = expected.pixel(5, 7);
    EXPECT_NEAR(qRed(pixel), qGreen(pixel), 1);
    EXPECT_NEAR(qGreen(pixel), qBlue(pixel), 1);
}

TEST(EffectPainterTest, InvertSwapsWhiteAndBlack)
{
    ItemEffects effects;
    effects.invert = true;
    EXPECT_EQ(Centre(OnWhite(Uniform(qRgb(255, 255, 255)), effects)), qRgb(0, 0, 0));
    EXPECT_EQ(Centre(OnWhite(Uniform(qRgb(0, 0, 0)), effects)), qRgb(255, 255, 255));
}

TEST(EffectPainterTest, HalfOpacityOverWhiteGivesHalfTone)
{
    ItemEffects effects;
    effects.opacity = 50;
    const QRgb pixel = Centre(OnWhite(Uniform(qRgb(0, 0, 0)), effects));
    EXPECT_NEAR(qRed(pixel), 127, 1);
    EXPECT_EQ(qRed(pixel), qGreen(pixel));
    EXPECT_EQ(qGreen(pixel), qBlue(pixel));
}

TEST(EffectPainterTest, SettingAnEffectBackGivesTheFirstLook)
{
    const QImage picture = RandomPicture(40, 30, 4, QImage::Format_RGB32);
    ItemEffects effects;
    effects.hue = 30;
    const QImage first = OnWhite(picture, effects);
    effects.hue = 90;
    effects.blurRadius = 2.0f;
    effects.contrast = 2.5f;
    EXPECT_NE(OnWhite(picture, effects), first);
    effects.hue = 30;
    effects.blurRadius = 1.0f;
    effects.contrast = 1.0f;
    EXPECT_EQ(OnWhite(picture, effects), first);
}

TEST(EffectPainterTest, TooLargeKernelDrawsUnfiltered)
{
    const QImage picture = RandomPicture(20, 20, 6, QImage::Format_RGB32);
    ItemEffects effects;
    effects.blurRadius = 10.1f;
    effects.sharpenRadius = 11.0f;
    EXPECT_EQ(OnWhite(picture, effects), picture);
}

TEST(EffectPainterTest, DrawsIntoTheThreeCorners)
{
    // A 10×20 picture drawn upright at (5, 5) and stretched to 20 × 20.
    QImage canvas(40, 40, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    CEffectPainter::Draw(painter, Uniform(qRgb(0, 0, 255), 10), ItemEffects(),
                         {QPointF(5, 5), QPointF(25, 5), QPointF(5, 15)});
    painter.end();
    EXPECT_EQ(canvas.pixel(15, 10), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.pixel(24, 14), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.pixel(27, 10), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(15, 17), qRgb(255, 255, 255));
}
