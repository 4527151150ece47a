// The filters against a straightforward implementation of their written
// arithmetic: integer kernel, two-pass blur with truncating division and
// clipped windows, unsharp mask with the single-precision amount + 1.

#include "CFilterEngine.h"
#include "CParallelRows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <new>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using Wide = __int128;

// The kernel exactly as written, with unbounded integer weights.
std::vector<Wide> ReferenceKernel(float r)
{
    const int n = int(std::floor(double(r) * 5.0 + 1.5));
    const int size = std::max(n, 1) | 1;
    const int u = size / 2;
    std::vector<Wide> weights(size, 1);
    if (size == 1) {
        return weights;
    }
    const float twoR2 = float(2.0 * double(r) * double(r));
    const float d = float(std::exp(double(u * u) / double(twoR2)));
    weights[u] = Wide(std::floor(double(d) + 0.5));
    for (int j = 1; j <= u; ++j) {
        const Wide w = Wide(std::floor(double(d) * std::exp(-double(j * j) / double(twoR2)) + 0.5));
        weights[u - j] = w;
        weights[u + j] = w;
    }
    return weights;
}

// One channel of an opaque picture as a plane of values.
using Plane = std::vector<std::vector<int>>;

Plane ChannelOf(const QImage& image, int channel)
{
    Plane plane(image.height(), std::vector<int>(image.width()));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            plane[y][x] = image.constScanLine(y)[4 * x + channel];
        }
    }
    return plane;
}

// Blurs one line with the clipped window near both ends.
std::vector<int> BlurLine(const std::vector<int>& in, const std::vector<Wide>& w)
{
    const int count = int(in.size());
    const int u = int(w.size()) / 2;
    std::vector<int> out(count);
    for (int p = 0; p < count; ++p) {
        Wide sum = 0;
        Wide weights = 0;
        for (int q = std::max(0, p - u); q <= std::min(count - 1, p + u); ++q) {
            sum += w[q - p + u] * in[q];
            weights += w[q - p + u];
        }
        out[p] = int(sum / weights);
    }
    return out;
}

Plane ReferenceBlur(const Plane& in, float r)
{
    const std::vector<Wide> w = ReferenceKernel(r);
    Plane across = in;
    for (auto& row : across) {
        row = BlurLine(row, w);
    }
    Plane result = across;
    for (size_t x = 0; x < in[0].size(); ++x) {
        std::vector<int> column;
        for (const auto& row : across) {
            column.push_back(row[x]);
        }
        column = BlurLine(column, w);
        for (size_t y = 0; y < column.size(); ++y) {
            result[y][x] = column[y];
        }
    }
    return result;
}

QImage RandomOpaque(int width, int height, unsigned seed)
{
    std::mt19937 random(seed);
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            line[x] = 0xFF000000u | (random() & 0xFFFFFF);
        }
    }
    return image;
}

void ExpectChannelsEqual(const QImage& image, const std::vector<Plane>& expected)
{
    for (int c = 0; c < 3; ++c) {
        ASSERT_EQ(ChannelOf(image, c), expected[c]) << "channel " << c;
    }
}

// Sizes include lines shorter than the kernel in either direction, and one
// picture large enough to be split across threads.
const QSize kSizes[] = {{1, 1}, {3, 2}, {2, 17}, {37, 23}, {700, 400}};

} // namespace

TEST(KernelTest, SizeFollowsRadius)
{
    const auto kernel = CFilterEngine::MakeKernel(1.2f);
    ASSERT_TRUE(kernel);
    EXPECT_EQ(kernel->weights.size(), 7u);
    EXPECT_EQ(kernel->radius, 3);
    EXPECT_EQ(kernel->weights.front(), 1);
    EXPECT_EQ(kernel->weights.back(), 1);

    EXPECT_EQ(CFilterEngine::MakeKernel(10.0f)->weights.size(), 51u);
    EXPECT_FALSE(CFilterEngine::MakeKernel(10.1f));
    EXPECT_FALSE(CFilterEngine::MakeKernel(std::nanf("")));
    EXPECT_EQ(CFilterEngine::MakeKernel(0.0f)->weights.size(), 1u);
}

TEST(KernelTest, WeightsMatchWrittenArithmetic)
{
    for (float r : {0.5f, 0.8f, 1.0f, 1.2f, 2.0f, 3.3f, 5.0f, 8.0f, 10.0f}) {
        const std::vector<Wide> expected = ReferenceKernel(r);
        const auto kernel = CFilterEngine::MakeKernel(r);
        ASSERT_TRUE(kernel);
        ASSERT_EQ(kernel->weights.size(), expected.size()) << r;
        for (size_t k = 0; k < expected.size(); ++k) {
            EXPECT_EQ(Wide(kernel->weights[k]), expected[k]) << "radius " << r << " tap " << k;
        }
        EXPECT_EQ(kernel->weights.back(), 1) << r;
    }
}

TEST(BlurTest, MatchesReferenceOnRandomPictures)
{
    // 0.05: no filtering; 0.1 and 0.3: three taps with a huge centre weight;
    // 1.2 and 2: sums within 16 bits; 5 and 8: wider sums.
    unsigned seed = 1;
    for (float r : {0.05f, 0.1f, 0.3f, 1.2f, 2.0f, 5.0f, 8.0f}) {
        for (const QSize& size : kSizes) {
            if (size.width() * size.height() > 100000 && r != 2.0f && r != 5.0f) {
                continue; // the large picture runs for one radius of each path
            }
            const QImage source = RandomOpaque(size.width(), size.height(), seed++);
            const QImage blurred = CFilterEngine::GaussianBlur(source, r);
            ASSERT_EQ(blurred.size(), source.size());
            ASSERT_EQ(blurred.format(), QImage::Format_RGB32);
            std::vector<Plane> expected;
            for (int c = 0; c < 3; ++c) {
                expected.push_back(ReferenceBlur(ChannelOf(source, c), r));
            }
            SCOPED_TRACE(testing::Message()
                         << "radius " << r << " size " << size.width() << "x" << size.height());
            ExpectChannelsEqual(blurred, expected);
        }
    }
}

TEST(BlurTest, TooLargeKernelYieldsNothing)
{
    EXPECT_TRUE(CFilterEngine::GaussianBlur(RandomOpaque(8, 8, 3), 10.1f).isNull());
    EXPECT_TRUE(CFilterEngine::UnsharpMask(RandomOpaque(8, 8, 3), 12.0f, 1.0f).isNull());
}

TEST(UnsharpTest, MatchesReferenceOnRandomPictures)
{
    unsigned seed = 100;
    for (const auto& [radius, amount] :
         {std::pair{1.0f, 1.5f}, {0.3f, 0.3f}, {2.5f, 4.0f}, {1.0f, 0.0f}, {0.05f, 0.3f}}) {
        for (const QSize& size : kSizes) {
            const QImage source = RandomOpaque(size.width(), size.height(), seed++);
            const QImage sharp = CFilterEngine::UnsharpMask(source, radius, amount);
            ASSERT_EQ(sharp.size(), source.size());
            const float amountPlusOne = amount + 1.0f;
            std::vector<Plane> expected;
            for (int c = 0; c < 3; ++c) {
                const Plane s = ChannelOf(source, c);
                Plane out = ReferenceBlur(s, radius);
                for (size_t y = 0; y < out.size(); ++y) {
                    for (size_t x = 0; x < out[y].size(); ++x) {
                        const double v =
                            s[y][x] * double(amountPlusOne) - out[y][x] * double(amount);
                        out[y][x] = int(std::clamp(v, 0.0, 255.0));
                    }
                }
                expected.push_back(out);
            }
            SCOPED_TRACE(testing::Message() << "radius " << radius << " amount " << amount
                                            << " size " << size.width() << "x" << size.height());
            ExpectChannelsEqual(sharp, expected);
        }
    }
}

TEST(FilterAlphaTest, StickerKeepsItsTransparentAreas)
{
    // A red disc on a transparent square, as a sticker is drawn.
    QImage sticker(60, 60, QImage::Format_ARGB32);
    sticker.fill(Qt::transparent);
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 60; ++x) {
            if ((x - 30) * (x - 30) + (y - 30) * (y - 30) < 15 * 15) {
                sticker.setPixel(x, y, qRgba(220, 20, 20, 255));
            }
        }
    }
    const QImage blurred =
        CFilterEngine::GaussianBlur(sticker, 2.0f).convertToFormat(QImage::Format_ARGB32);
    const QImage sharp =
        CFilterEngine::UnsharpMask(sticker, 1.0f, 2.0f).convertToFormat(QImage::Format_ARGB32);
    // Far from the disc stays transparent; its middle stays the same red.
    EXPECT_EQ(qAlpha(blurred.pixel(2, 2)), 0);
    EXPECT_EQ(blurred.pixel(30, 30), sticker.pixel(30, 30));
    EXPECT_EQ(sharp.pixel(30, 30), sticker.pixel(30, 30));
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 60; ++x) {
            const QRgb original = sticker.pixel(x, y);
            // Sharpening keeps alpha; no pixel turns dark at the soft rim.
            ASSERT_EQ(qAlpha(sharp.pixel(x, y)), qAlpha(original)) << x << "," << y;
            const QRgb soft = blurred.pixel(x, y);
            if (qAlpha(soft) > 32) {
                ASSERT_GE(qRed(soft), 200) << x << "," << y;
            }
        }
    }
}

TEST(BlurTest, InPlaceEqualsCopy)
{
    // Bands split across threads, with the kernel reaching over band borders;
    // the last picture has bands of one row each.
    const struct
    {
        QSize size;
        float radius;
    } cases[] = {{{900, 400}, 8.0f}, {{3000, 100}, 2.0f}, {{140000, 2}, 1.2f}};
    for (const auto& c : cases) {
        const QImage source = RandomOpaque(c.size.width(), c.size.height(), 77);
        const QImage expected = CFilterEngine::GaussianBlur(source, c.radius);
        QImage own = source.copy();
        const uchar* ownBits = own.constBits();
        const QImage inPlace = CFilterEngine::GaussianBlur(std::move(own), c.radius);
        EXPECT_EQ(inPlace.constBits(), ownBits);
        EXPECT_EQ(inPlace, expected) << c.size.width() << "x" << c.size.height();
    }
}

TEST(ParallelRowsTest, AFailingBandReachesTheCallerAfterEveryBandEnded)
{
    // A band that cannot get its row buffers throws on its own thread: the
    // other bands still end, then the caller gets the exception.
    const std::vector<int> bands = {0, 10, 20, 30, 40};
    std::atomic<int> ended{0};
    const auto work = [&ended](int firstRow, int) {
        if (firstRow == 20) {
            throw std::bad_alloc();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ++ended;
    };
    EXPECT_THROW(CParallelRows::RunBands(bands, work), std::bad_alloc);
    EXPECT_EQ(ended, 3);

    // The band on the calling thread may fail too; the threads are joined first.
    const auto firstFails = [](int firstRow, int) {
        if (firstRow == 0) {
            throw std::runtime_error("first band");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    };
    EXPECT_THROW(CParallelRows::RunBands(bands, firstFails), std::runtime_error);
}
