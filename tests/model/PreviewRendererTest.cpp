// The live preview's renderer: screen-sized proxies kept while only colours
// change, and frames that look like the full composite at the zoom.

#include "CItemCanvas.h"
#include "CPictureItem.h"
#include "CPreviewRenderer.h"

#include <QPainter>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A 1200 × 800 picture with fine noise over a gradient.
QImage NoisyPhoto()
{
    QImage photo(1200, 800, QImage::Format_RGB32);
    QRandomGenerator noise(7);
    for (int y = 0; y < photo.height(); ++y) {
        for (int x = 0; x < photo.width(); ++x) {
            const int n = int(noise.bounded(60));
            photo.setPixel(x, y, qRgb(x / 6 + n, y / 4 + n, 120 + n));
        }
    }
    return photo;
}

QImage Disc()
{
    QImage disc(200, 200, QImage::Format_ARGB32_Premultiplied);
    disc.fill(Qt::transparent);
    QPainter painter(&disc);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(30, 160, 220));
    painter.drawEllipse(QRectF(10, 10, 180, 180));
    return disc;
}

// Mean absolute difference per channel of two pictures of one size.
double MeanDifference(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * a.width() * a.height());
}

// The photo at a quarter, a turned half-transparent disc on it, placed at
// (30, 20) in the view.
struct PreviewRendererTest : testing::Test
{
    CItemCanvas canvas;
    CPreviewRenderer renderer;
    CPictureItem* base = nullptr;
    CPictureItem* disc = nullptr;

    PreviewRendererTest()
    {
        base = canvas.AddPicture(NoisyPhoto(), 0, 0, 0, 0, 1.0f);
        disc = canvas.AddPicture(Disc(), 400, 200, 0, 0, 1.0f);
        disc->SetOutline(QTransform()
                             .translate(500, 300)
                             .rotate(30)
                             .translate(-100, -100)
                             .map(disc->Outline().translated(-400, -200)));
        disc->Effects().opacity = 60;
        canvas.SetZoom(0.25);
        canvas.SetOrigin(30, 20);
    }
    QRect PictureArea() const { return QRect(30, 20, 300, 200); }
    // The full composite scaled to the zoom, as the view shows it.
    QImage ScaledComposite()
    {
        return canvas.Render()
            .scaled(300, 200, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_RGB32);
    }
};

TEST_F(PreviewRendererTest, LooksLikeTheFullRenderAtTheZoom)
{
    base->Effects().hue = 120;
    base->Effects().contrast = 1.3f;
    EXPECT_LT(MeanDifference(renderer.Render(canvas, PictureArea()), ScaledComposite()), 3.0);

    // Radii scale with the zoom: a blur of 8 picture pixels is 2 on screen.
    base->Effects().blurRadius = 8.0f;
    const QImage blurred = renderer.Render(canvas, PictureArea());
    EXPECT_LT(MeanDifference(blurred, ScaledComposite()), 2.0);
    base->Effects().blurRadius = 1.0f;
    EXPECT_GT(MeanDifference(blurred, renderer.Render(canvas, PictureArea())), 3.0);
}

TEST_F(PreviewRendererTest, APartIsThatPartOfTheWhole)
{
    base->Effects().sharpenAmount = 2.0f;
    base->Effects().sharpenRadius = 2.0f;
    base->Effects().blurRadius = 1.5f;
    const QImage whole = renderer.Render(canvas, PictureArea());
    const QRect part(130, 70, 90, 60);
    const QImage drawn = renderer.Render(canvas, part);
    ASSERT_EQ(drawn.size(), part.size());
    EXPECT_TRUE(drawn == whole.copy(part.translated(-PictureArea().topLeft())))
        << "the filters read past the part's edges as the whole does";
}

TEST_F(PreviewRendererTest, ProxiesAreKeptUntilTheBitmapOrTheScreenSizeChanges)
{
    renderer.Render(canvas, PictureArea());
    EXPECT_EQ(renderer.ProxiesMade(), 2);
    for (int hue = -180; hue <= 180; hue += 60) {
        base->Effects().hue = hue;
        disc->Effects().opacity = 50 + hue / 10;
        renderer.Render(canvas, PictureArea());
    }
    base->Effects().sharpenAmount = 3.0f; // a filter change refilters the proxy only
    renderer.Render(canvas, PictureArea().adjusted(20, 20, -20, -20));
    EXPECT_EQ(renderer.ProxiesMade(), 2);

    canvas.SetZoom(0.5); // both again
    renderer.Render(canvas, PictureArea());
    EXPECT_EQ(renderer.ProxiesMade(), 4);
    disc->SetOutline(QTransform::fromScale(1.5, 1.5).map(disc->Outline())); // the disc only
    renderer.Render(canvas, PictureArea());
    EXPECT_EQ(renderer.ProxiesMade(), 5);
    base->SetBitmap(NoisyPhoto()); // a new bitmap of the same size
    renderer.Render(canvas, PictureArea());
    EXPECT_EQ(renderer.ProxiesMade(), 6);
}

TEST_F(PreviewRendererTest, ZoomedInDrawsFromTheBitmapItselfSharply)
{
    canvas.SetZoom(2.0);
    const QImage drawn = renderer.Render(canvas, QRect(30, 20, 200, 150));
    const QImage expected = NoisyPhoto().copy(0, 0, 100, 75).scaled(200, 150);
    EXPECT_LT(MeanDifference(drawn, expected), 12.0) << "not a blurred enlargement of a proxy";
    EXPECT_EQ(renderer.ProxiesMade(), 1) << "the disc lies outside: nothing made for it";
}

} // namespace
