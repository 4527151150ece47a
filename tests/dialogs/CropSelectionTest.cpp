#include "CCropSelection.h"

#include <gtest/gtest.h>

namespace {

QRectF Bounds(const std::optional<QPainterPath>& path)
{
    return path ? path->boundingRect() : QRectF();
}

// What the view does for a press with a preset size.
std::optional<QPainterPath> PlaceFixed(CCropSelection& crop, QSize size, float zoom, QPoint origin,
                                       QPointF press)
{
    crop.SetKind(CCropSelection::kFixed);
    crop.SetFixedSize(size.width(), size.height());
    crop.SetZoom(zoom);
    QPainterPath rectangle;
    rectangle.addRect(0, 0, size.width(), size.height());
    crop.SetOrigin(origin.x(), origin.y());
    crop.SetOutline(rectangle);
    return crop.ViewOutline(press.x(), press.y(), true);
}

} // namespace

TEST(CropSelectionTest, FixedSizeIsCentredOnThePressAtTheZoom)
{
    CCropSelection crop;
    const auto view = PlaceFixed(crop, {160, 120}, 0.5f, {10, 20}, {100, 100});
    EXPECT_EQ(Bounds(view), QRectF(QPointF(60, 70), QPointF(140, 130)));
    EXPECT_EQ(Bounds(crop.PictureOutline()), QRectF(100, 100, 160, 120));
    EXPECT_EQ(crop.FixedSize(), QSize(160, 120));
    EXPECT_TRUE(crop.HitTest(100, 100));
    EXPECT_FALSE(crop.HitTest(50, 100));
}

TEST(CropSelectionTest, ZoomThereAndBackKeepsTheOutline)
{
    CCropSelection crop;
    const auto before = PlaceFixed(crop, {320, 240}, 1.0f, {5, 5}, {200, 150});
    crop.SetZoom(2.0f);
    EXPECT_EQ(Bounds(crop.PictureOutline()).size(), QSizeF(320, 240));
    EXPECT_EQ(Bounds(crop.ViewOutline(0, 0, false)).size(), QSizeF(640, 480));
    crop.SetZoom(1.0f);
    EXPECT_EQ(Bounds(crop.ViewOutline(0, 0, false)), Bounds(before));
}

TEST(CropSelectionTest, WithoutAnOutlineThereIsNothing)
{
    CCropSelection crop;
    EXPECT_EQ(crop.Kind(), CCropSelection::kFree);
    EXPECT_FALSE(crop.ViewOutline(10, 10, true));
    EXPECT_FALSE(crop.PictureOutline());
    EXPECT_FALSE(crop.HitTest(0, 0));
    crop.Rotate(1, 100, 100);
    crop.Transform(nullptr);
    crop.SetZoom(3.0f);
    EXPECT_FALSE(crop.HasOutline());
    PlaceFixed(crop, {160, 120}, 1.0f, {0, 0}, {80, 60});
    crop.Clear();
    EXPECT_FALSE(crop.PictureOutline());
}

TEST(CropSelectionTest, FreeBandIsRelativeToTheOriginAndMayBeEmpty)
{
    CCropSelection crop;
    crop.SetZoom(0.5f);
    crop.SetOrigin(10, 20);
    crop.SetRectangle(30, 40, 50, 60, true);
    EXPECT_EQ(Bounds(crop.ViewOutline(0, 0, false)), QRectF(30, 40, 50, 60));
    EXPECT_EQ(Bounds(crop.PictureOutline()), QRectF(40, 40, 100, 120));

    crop.SetRectangle(30, 40, 0, 60, true);
    EXPECT_EQ(Bounds(crop.PictureOutline()).width(), 0);
}

TEST(CropSelectionTest, TransformAppliesViewCoordinateMatrices)
{
    CCropSelection crop;
    crop.SetOrigin(10, 20);
    crop.SetRectangle(0, 0, 40, 30, false);
    const QTransform doubleAboutViewOrigin = QTransform::fromScale(2, 2);
    crop.Transform(&doubleAboutViewOrigin);
    // The view rectangle (10, 20, 40, 30) doubled about the view's (0, 0).
    EXPECT_EQ(Bounds(crop.ViewOutline(0, 0, false)), QRectF(20, 40, 80, 60));
    const QTransform nudge = QTransform::fromTranslate(1, -1);
    crop.Transform(&nudge);
    EXPECT_EQ(Bounds(crop.ViewOutline(0, 0, false)), QRectF(21, 39, 80, 60));
}

TEST(CropSelectionTest, RotatingTwiceByAQuarterEqualsAHalfTurnOnASquare)
{
    CCropSelection quarterTwice;
    CCropSelection half;
    for (CCropSelection* crop : {&quarterTwice, &half}) {
        crop->SetZoom(0.5f);
        crop->SetRectangle(10, 20, 40, 30, false);
    }
    quarterTwice.Rotate(1, 200, 200);
    EXPECT_EQ(Bounds(quarterTwice.PictureOutline()).size(), QSizeF(60, 80));
    quarterTwice.Rotate(1, 200, 200);
    half.Rotate(2, 200, 200);
    EXPECT_EQ(Bounds(quarterTwice.PictureOutline()), Bounds(half.PictureOutline()));
    // Any other turn leaves the outline where it was.
    const QRectF before = Bounds(half.PictureOutline());
    half.Rotate(7, 200, 300);
    EXPECT_EQ(Bounds(half.PictureOutline()), before);
}
