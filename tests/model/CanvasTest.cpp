// The item model, the canvas operations and rendering.

#include "CItemCanvas.h"
#include "CPictureItem.h"
#include "CTextItem.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <functional>

namespace {

QImage Filled(int width, int height, QColor colour,
              QImage::Format format = QImage::Format_ARGB32_Premultiplied)
{
    QImage image(width, height, format);
    image.fill(colour);
    return image;
}

// A canvas with a grey 200×100 base picture.
struct CanvasTest : testing::Test
{
    CItemCanvas canvas;
    CanvasTest() { canvas.AddPicture(Filled(200, 100, Qt::gray), 0, 0, 0, 0, 1.0f); }

    CPictureItem* AddSquare(QColor colour, double x, double y, double size = 20)
    {
        return canvas.AddPicture(Filled(int(size), int(size), colour), x, y, 0, 0, 1.0f);
    }
    QRgb Pixel(int x, int y) { return canvas.Render(0, canvas.Count() - 1).pixel(x, y); }
};

} // namespace

TEST_F(CanvasTest, FirstPictureSetsBaseSizeAndZeroSizeComesFromBitmap)
{
    EXPECT_EQ(canvas.BaseSize(), QSizeF(200, 100));
    CPictureItem* item = canvas.AddPicture(Filled(30, 40, Qt::red), 5, 6, 0, 0, 1.0f);
    EXPECT_EQ(item->Rect(), QRectF(5, 6, 30, 40));
    EXPECT_EQ(canvas.BaseSize(), QSizeF(200, 100));
}

TEST_F(CanvasTest, HitTestFindsTheUppermostItemInsideItsOutline)
{
    CItemCanvas empty;
    EXPECT_EQ(empty.HitTest(5, 5), -1);
    AddSquare(Qt::red, 10, 10);
    AddSquare(Qt::blue, 20, 20);
    EXPECT_EQ(canvas.HitTest(25, 25), 2);
    EXPECT_EQ(canvas.HitTest(12, 12), 1);
    EXPECT_EQ(canvas.HitTest(150, 80), 0);
    EXPECT_EQ(canvas.HitTest(500, 500), -1);

    // A square turned 45° is a diamond: its bounding corner is not inside.
    CPictureItem* diamond = AddSquare(Qt::green, 100, 40);
    diamond->RotateAboutCentre(45);
    EXPECT_EQ(canvas.HitTest(110, 50), 3);
    EXPECT_NE(canvas.HitTest(97, 37), 3);

    // The origin and zoom of the view are undone first.
    canvas.SetOrigin(50, 50);
    canvas.SetZoom(2.0);
    EXPECT_EQ(canvas.HitTest(50 + 2 * 25, 50 + 2 * 25), 2);
}

TEST_F(CanvasTest, TextIsHitInsideItsBoundsOnly)
{
    auto text = std::make_unique<CTextItem>();
    text->SetText("Hello");
    text->MakeOutline(QPointF(10, 10));
    const QRectF bounds = text->Outline().boundingRect();
    EXPECT_TRUE(text->HitTest(bounds.left(), bounds.top()));
    EXPECT_FALSE(text->HitTest(bounds.right(), bounds.center().y()));
    EXPECT_FALSE(text->HitTest(bounds.center().x(), bounds.bottom()));
    EXPECT_GE(bounds.top(), 10.0);
}

TEST_F(CanvasTest, MoveItemBothWaysAndOutOfRange)
{
    CItem* a = AddSquare(Qt::red, 0, 0);
    CItem* b = AddSquare(Qt::green, 0, 0);
    CItem* c = AddSquare(Qt::blue, 0, 0);
    canvas.MoveItem(3, 1);
    EXPECT_EQ(canvas.ItemAt(1), c);
    EXPECT_EQ(canvas.ItemAt(2), a);
    canvas.MoveItem(1, 3);
    EXPECT_EQ(canvas.ItemAt(3), c);
    EXPECT_EQ(canvas.ItemAt(1), a);
    // Targets the z-order commands produce at the ends are ignored.
    CItem* base = canvas.ItemAt(0);
    canvas.MoveItem(1, 0);
    canvas.MoveItem(3, 4);
    canvas.MoveItem(0, 2);
    EXPECT_EQ(canvas.Count(), 4);
    EXPECT_EQ(canvas.ItemAt(0), base);
    EXPECT_EQ(canvas.ItemAt(1), a);
    EXPECT_EQ(canvas.ItemAt(2), b);
    EXPECT_EQ(canvas.ItemAt(3), c);
}

TEST_F(CanvasTest, QuarterTurnKeepsCentreAndSwapsSize)
{
    CPictureItem* item = canvas.AddPicture(Filled(100, 50, Qt::red), 10, 20, 0, 0, 1.0f);
    item->RotateAboutCentre(90);
    const QRectF bounds = item->Outline().boundingRect();
    EXPECT_NEAR(bounds.center().x(), 60, 1e-9);
    EXPECT_NEAR(bounds.center().y(), 45, 1e-9);
    EXPECT_NEAR(bounds.width(), 50, 1e-9);
    EXPECT_NEAR(bounds.height(), 100, 1e-9);
    item->FlipAboutCentre(true);
    EXPECT_NEAR(item->Outline().boundingRect().center().x(), 60, 1e-9);
}

// Stretched over the picture, an item keeps how it lies: the pixel of its
// bitmap's upper-left corner lands in the corner it was nearest to turned.
TEST_F(CanvasTest, StretchOverKeepsQuarterTurnAndMirroring)
{
    const auto topLeftPixelAt = [](const std::function<void(CPictureItem*)>& turn) {
        CItemCanvas frame;
        frame.AddPicture(Filled(200, 100, Qt::gray), 0, 0, 0, 0, 1.0f);
        QImage picture = Filled(40, 30, Qt::blue);
        picture.setPixel(0, 0, qRgb(255, 0, 0));
        picture.setPixel(1, 0, qRgb(255, 0, 0));
        picture.setPixel(0, 1, qRgb(255, 0, 0));
        picture.setPixel(1, 1, qRgb(255, 0, 0));
        CPictureItem* item = frame.AddPicture(picture, 70, 30, 0, 0, 1.0f);
        turn(item);
        item->StretchOver(QRectF(0, 0, 200, 100));
        EXPECT_EQ(item->Outline().boundingRect(), QRectF(0, 0, 200, 100));
        const QImage shown = frame.Render(0, frame.Count() - 1);
        for (const QPoint corner : {QPoint(1, 1), QPoint(198, 1), QPoint(198, 98), QPoint(1, 98)}) {
            if (shown.pixel(corner) == qRgb(255, 0, 0)) {
                return corner;
            }
        }
        return QPoint(-1, -1);
    };
    EXPECT_EQ(topLeftPixelAt([](CPictureItem*) {}), QPoint(1, 1));
    EXPECT_EQ(topLeftPixelAt([](CPictureItem* item) { item->RotateAboutCentre(90); }),
              QPoint(198, 1));
    EXPECT_EQ(topLeftPixelAt([](CPictureItem* item) { item->RotateAboutCentre(180); }),
              QPoint(198, 98));
    EXPECT_EQ(topLeftPixelAt([](CPictureItem* item) { item->FlipAboutCentre(true); }),
              QPoint(198, 1));
    EXPECT_EQ(topLeftPixelAt([](CPictureItem* item) {
                  item->RotateAboutCentre(90);
                  item->FlipAboutCentre(false);
              }),
              QPoint(198, 98));
    // A slant of 30 degrees comes out upright, 280 degrees a quarter turn left.
    EXPECT_EQ(topLeftPixelAt([](CPictureItem* item) { item->RotateAboutCentre(30); }),
              QPoint(1, 1));
    EXPECT_EQ(topLeftPixelAt([](CPictureItem* item) { item->RotateAboutCentre(280); }),
              QPoint(1, 98));
}

TEST_F(CanvasTest, TextOpacityThirtyPaintsAlphaSeventySix)
{
    CTextItem text;
    text.Effects().opacity = 30;
    CharFormat format;
    format.colour = 0x00FF0000; // blue, as 0x00BBGGRR
    text.SetFormat(format);
    EXPECT_EQ(text.FillColour(), QColor(0, 0, 255, 76));
}

TEST_F(CanvasTest, RenderShowsBaseOnWhiteAndMergeKeepsTheLook)
{
    CItemCanvas sticker;
    sticker.AddPicture(Filled(50, 50, Qt::transparent), 0, 0, 0, 0, 1.0f);
    EXPECT_EQ(sticker.Render().pixel(10, 10), qRgb(255, 255, 255));

    AddSquare(Qt::red, 10, 10)->RotateAboutCentre(30);
    CPictureItem* half = AddSquare(Qt::blue, 50, 50);
    half->Effects().opacity = 50;
    half->Effects().hue = 40;
    const QImage before = canvas.Render(0, canvas.Count() - 1).copy();
    canvas.Merge(1, -1, true);
    EXPECT_EQ(canvas.Count(), 1);
    const QImage after = canvas.Render(0, 0);
    int different = 0;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            const QRgb p = before.pixel(x, y);
            const QRgb q = after.pixel(x, y);
            different += std::abs(qRed(p) - qRed(q)) > 1 || std::abs(qBlue(p) - qBlue(q)) > 1;
        }
    }
    EXPECT_EQ(different, 0);
}

TEST_F(CanvasTest, AppendBelowWithGap)
{
    CItemCanvas joined;
    joined.AddPicture(Filled(400, 300, Qt::gray), 0, 0, 0, 0, 1.0f);
    ASSERT_TRUE(joined.AppendPicture(0, Filled(100, 50, Qt::red), CItemCanvas::Below, 10,
                                     QColor(0, 255, 0), false));
    const QImage& composite = joined.Render();
    EXPECT_EQ(composite.size(), QSize(400, 510));
    EXPECT_EQ(composite.pixel(200, 150), QColor(Qt::gray).rgb());
    EXPECT_EQ(composite.pixel(200, 305), qRgb(0, 255, 0));
    EXPECT_EQ(composite.pixel(200, 450), qRgb(255, 0, 0));
}

TEST_F(CanvasTest, AppendAboveMovesTheItems)
{
    AddSquare(Qt::red, 10, 10);
    ASSERT_TRUE(canvas.AppendPicture(0, Filled(100, 50, Qt::blue), CItemCanvas::Above, 0, Qt::black,
                                     false));
    EXPECT_EQ(canvas.BaseSize(), QSizeF(200, 200));
    EXPECT_EQ(Pixel(20, 110), qRgb(255, 0, 0));
    EXPECT_EQ(Pixel(20, 50), qRgb(0, 0, 255));
}

TEST_F(CanvasTest, CropAndTurnKeepItemsInPlace)
{
    AddSquare(Qt::red, 60, 30, 10);
    ASSERT_TRUE(canvas.CropPicture(QRect(50, 20, 100, 60)));
    EXPECT_EQ(canvas.BaseSize(), QSizeF(100, 60));
    EXPECT_EQ(Pixel(15, 15), qRgb(255, 0, 0));
    EXPECT_EQ(Pixel(25, 15), QColor(Qt::gray).rgb());
    EXPECT_FALSE(canvas.CropPicture(QRect(90, 10, 20, 20)));
    EXPECT_FALSE(canvas.CropPicture(QRect(0, 0, 0, 10)));

    // Turned right, the point (x, y) of a 100×60 picture goes to (59 − y, x).
    canvas.TurnPicture(RotateFlipType::Rotate90FlipNone);
    EXPECT_EQ(canvas.BaseSize(), QSizeF(60, 100));
    EXPECT_EQ(Pixel(59 - 15, 15), qRgb(255, 0, 0));
    canvas.TurnPicture(RotateFlipType::Rotate270FlipNone);
    EXPECT_EQ(Pixel(15, 15), qRgb(255, 0, 0));
    canvas.TurnPicture(RotateFlipType::RotateNoneFlipX);
    EXPECT_EQ(Pixel(99 - 15, 15), qRgb(255, 0, 0));
}

TEST_F(CanvasTest, CutItemBakesEffectsIntoTheCutOut)
{
    CPictureItem* item = AddSquare(Qt::white, 0, 0, 40);
    item->Effects().invert = true;
    ASSERT_EQ(canvas.CutItem(1, 10, 10, 20, 15), item);
    EXPECT_EQ(item->Size(), QSizeF(20, 15));
    EXPECT_EQ(item->Effects(), ItemEffects());
    EXPECT_EQ(item->Bitmap().pixel(5, 5), qRgb(0, 0, 0));
}

TEST_F(CanvasTest, ChangedEffectsOrBitmapAreDrawnAfresh)
{
    CPictureItem* item = AddSquare(Qt::red, 10, 10);
    const QImage first = canvas.Render().copy();
    item->Effects().invert = true;
    EXPECT_EQ(Pixel(15, 15), qRgb(0, 255, 255));
    item->Effects().invert = false;
    EXPECT_EQ(canvas.Render(), first);
    item->SetBitmap(Filled(20, 20, Qt::blue));
    EXPECT_EQ(Pixel(15, 15), qRgb(0, 0, 255));
}
