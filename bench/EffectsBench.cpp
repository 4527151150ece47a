// Times each colour effect alone and all together on 12- and 24-megapixel
// pictures, in process, next to a plain memory copy of the same picture.
// Usage: bench_effects [PICTURE]  (a synthetic photo-like picture without one)

#include "BenchTimer.h"
#include "CBitmap.h"
#include "CColourMatrix.h"
#include "CEffectPainter.h"
#include "CFilterEngine.h"
#include "CImageAttributes.h"
#include "ItemEffects.h"

#include <QGuiApplication>
#include <QPainter>

#include <cstdio>
#include <cstring>
#include <functional>
#include <random>

namespace {

constexpr int kRuns = 7;

// Median wall time of a few runs after a warm-up, in milliseconds.
double MedianMs(const std::function<void()>& work)
{
    work();
    return MedianMilliseconds(kRuns, work);
}

// Smooth gradients with noise, so the filters see photo-like data.
QImage SyntheticPhoto(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 random(7);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int noise = int(random() % 32);
            line[x] = qRgb((x * 255 / width + noise) & 255, (y * 255 / height + noise) & 255,
                           ((x + y) / 16 + noise) & 255);
        }
    }
    return image;
}

void Report(const char* name, double ms, double copyMs)
{
    std::printf("  %-34s %8.1f ms  (%.1f x copy)\n", name, ms, ms / copyMs);
}

void RunOn(const QImage& picture)
{
    std::printf("%d x %d (%.1f megapixels)\n", picture.width(), picture.height(),
                picture.width() * double(picture.height()) / 1e6);
    QImage copyTarget(picture.size(), picture.format());
    const double copyMs = MedianMs([&] {
        std::memcpy(copyTarget.bits(), picture.constBits(), size_t(picture.sizeInBytes()));
    });
    std::printf("  %-34s %8.1f ms  (%.1f GB/s)\n", "memory copy (memcpy)", copyMs,
                picture.sizeInBytes() / copyMs / 1e6);
    Report("memory copy (new QImage)", MedianMs([&] { QImage copy = picture.copy(); }), copyMs);

    ItemEffects colour;
    colour.hue = 20;
    colour.saturation = 130;
    colour.brightness = 10;
    colour.contrast = 1.1f;
    colour.gamma = 0.8f;
    const CImageAttributes withGamma(CColourMatrix::FromEffects(colour), colour.gamma);
    const CImageAttributes noGamma(CColourMatrix::FromEffects(colour), 1.0f);
    // "in place": on a picture no one else holds, as after a filter, or as
    // pixvel-tool works on the picture it loaded; no new picture is allocated.
    QImage own = picture.copy();
    Report("colour matrix", MedianMs([&] { noGamma.Apply(picture); }), copyMs);
    Report("colour matrix + gamma", MedianMs([&] { withGamma.Apply(picture); }), copyMs);
    Report("colour matrix + gamma, in place",
           MedianMs([&] { own = withGamma.Apply(std::move(own)); }), copyMs);
    Report("blur 2", MedianMs([&] { CFilterEngine::GaussianBlur(picture, 2.0f); }), copyMs);
    Report("blur 2, in place",
           MedianMs([&] { own = CFilterEngine::GaussianBlur(std::move(own), 2.0f); }), copyMs);
    Report("blur 8", MedianMs([&] { CFilterEngine::GaussianBlur(picture, 8.0f); }), copyMs);
    Report("sharpen 1.5,1", MedianMs([&] { CFilterEngine::UnsharpMask(picture, 1.0f, 1.5f); }),
           copyMs);

    ItemEffects all = colour;
    all.sharpenAmount = 1.5f;
    all.blurRadius = 2.0f;
    all.opacity = 80;
    Report("all effects (Apply)", MedianMs([&] { CEffectPainter::Apply(picture, all); }), copyMs);
    QImage composite(picture.size(), QImage::Format_RGB32);
    Report("all effects drawn on white", MedianMs([&] {
               composite.fill(Qt::white);
               QPainter painter(&composite);
               const QRectF place(QPointF(0, 0), picture.size());
               CEffectPainter::Draw(painter, picture, all,
                                    {place.topLeft(), place.topRight(), place.bottomLeft()});
           }),
           copyMs);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QImage big = argc > 1 ? CBitmap::FromFile(argv[1]).Image() : SyntheticPhoto(6000, 4000);
    if (big.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    big = big.convertToFormat(QImage::Format_RGB32);
    const int halfHeight = big.height() / 2;
    RunOn(big.copy(0, 0, big.width(), halfHeight));
    RunOn(big);
    return 0;
}
