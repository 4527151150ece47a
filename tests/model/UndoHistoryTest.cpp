// The undo history: snapshot steps, merging, the clean state and the bound
// on the bitmap bytes its steps hold.

#include "CCanvasSnapshot.h"
#include "CItemCanvas.h"
#include "CPictureItem.h"
#include "CUndoHistory.h"

#include <gtest/gtest.h>

namespace {

class UndoHistoryTest : public testing::Test
{
protected:
    UndoHistoryTest()
    {
        canvas_.SetZoom(1.0);
        QImage base(400, 300, QImage::Format_RGB32);
        base.fill(Qt::white);
        canvas_.AddPicture(base, 0, 0, 0, 0, 1.0f);
        history_.Reset(Take());
    }

    std::shared_ptr<CCanvasSnapshot> Take() const { return CCanvasSnapshot::Take(canvas_, 0); }

    // Adds a sticker of its own bitmap and records it.
    void Place(int size)
    {
        QImage sticker(size, size, QImage::Format_ARGB32_Premultiplied);
        sticker.fill(Qt::red);
        canvas_.AddPicture(sticker, 10, 10, 0, 0, 1.0f);
        history_.Record(QStringLiteral("아이템 추가"), Take());
    }

    void Move(int index, double dx, CSnapshotStep::Merge merge = {})
    {
        canvas_.OffsetItems(dx, 0, index, index);
        history_.Record(QStringLiteral("아이템 이동"), Take(), merge);
    }

    double ItemX(int index) const { return canvas_.ItemAt(index)->Outline().boundingRect().x(); }

    static qint64 BytesOf(const CItem* item)
    {
        return static_cast<const CPictureItem*>(item)->Bitmap().sizeInBytes();
    }

    CItemCanvas canvas_;
    std::vector<bool> cleanTold_;
    CUndoHistory history_{[this](const CCanvasSnapshot& snapshot) { snapshot.RestoreTo(canvas_); },
                          [this](bool clean) { cleanTold_.push_back(clean); }};
};

TEST_F(UndoHistoryTest, StepsMergeOnlyWithTheSameIdAndKeyAndNotAcrossASave)
{
    Place(20);
    Place(20);
    for (int step = 0; step < 50; ++step) {
        Move(1, 1, {7, 1});
    }
    EXPECT_EQ(history_.Count(), 3); // fifty releases of one slider on one item
    Move(2, 1, {7, 2});             // the same slider on another item
    Move(2, 1, {8, 2});             // another slider
    EXPECT_EQ(history_.Count(), 5);
    history_.SetClean();
    Move(2, 1, {8, 2});
    EXPECT_EQ(history_.Count(), 6); // the saved state stays reachable
    history_.Undo();
    EXPECT_TRUE(history_.IsClean());
    for (int step = 0; step < 3; ++step) {
        history_.Undo();
    }
    EXPECT_EQ(ItemX(1), 10); // the merged step undoes all fifty at once
}

TEST_F(UndoHistoryTest, SharedBitmapsAreCountedOnce)
{
    Place(100);
    const qint64 pictures = BytesOf(canvas_.ItemAt(0)) + BytesOf(canvas_.ItemAt(1));
    EXPECT_EQ(history_.Bytes(), pictures);
    for (int step = 0; step < 10; ++step) {
        Move(1, 3);
    }
    // Moves hold no pixels of their own: every snapshot shares the bitmaps.
    EXPECT_EQ(history_.Bytes(), pictures);
    EXPECT_EQ(static_cast<const CPictureItem*>(canvas_.ItemAt(1))->Bitmap().cacheKey(),
              static_cast<const CPictureItem*>(history_.Current()->ItemAt(1))->Bitmap().cacheKey());
}

TEST_F(UndoHistoryTest, TwentyCropsOfALargePictureStayUnderTheBound)
{
    QImage photo(6000, 4000, QImage::Format_RGB32); // 24 megapixels, 96 MB
    photo.fill(Qt::darkGreen);
    canvas_.Clear();
    canvas_.AddPicture(photo, 0, 0, 0, 0, 1.0f);
    photo = QImage();
    history_.Reset(Take());
    history_.SetClean();
    const auto baseBytes = [this] { return BytesOf(canvas_.ItemAt(0)); };
    qint64 before = baseBytes();
    for (int crop = 1; crop <= 20; ++crop) {
        const QSizeF size = canvas_.BaseSize();
        ASSERT_TRUE(
            canvas_.CropPicture(QRect(10, 10, int(size.width()) - 20, int(size.height()) - 20)));
        history_.Record(QStringLiteral("자르기"), Take());
        EXPECT_LE(history_.Bytes(), history_.ByteLimit()) << crop;
        if (crop == 1) {
            // The picture before is held by the step, the one after is
            // shared with the canvas: each once.
            EXPECT_EQ(history_.Bytes(), before + baseBytes());
        }
    }
    ASSERT_LT(history_.Count(), 20); // the oldest steps went
    EXPECT_GE(history_.Count(), 9);  // about 1 GiB of 96 MB pictures
    // What is kept undoes in order; the opened picture is gone for good,
    // and with it the saved state.
    const int kept = history_.Count();
    while (history_.CanUndo()) {
        history_.Undo();
    }
    EXPECT_EQ(canvas_.BaseSize(), QSizeF(6000 - 20 * (20 - kept), 4000 - 20 * (20 - kept)));
    EXPECT_FALSE(history_.IsClean());
    EXPECT_FALSE(cleanTold_.back());
    while (history_.CanRedo()) {
        history_.Redo();
    }
    EXPECT_EQ(canvas_.BaseSize(), QSizeF(6000 - 400, 4000 - 400));
}

TEST_F(UndoHistoryTest, DroppingOldStepsKeepsTheSavedStateAndTheMerging)
{
    // Each step paints the base picture anew, as a merge does.
    const auto paint = [this](QColor colour) {
        QImage pixels(400, 300, QImage::Format_RGB32);
        pixels.fill(colour);
        static_cast<CPictureItem*>(canvas_.ItemAt(0))->SetBitmap(pixels);
        history_.Record(QStringLiteral("합치기"), Take());
    };
    Place(10);
    paint(Qt::red);
    paint(Qt::green);
    history_.SetClean();
    paint(Qt::blue);
    Move(1, 1, {7, 1});
    ASSERT_EQ(history_.Count(), 5);
    // Four base pictures and the sticker; room for three and the sticker.
    history_.SetByteLimit(3 * BytesOf(canvas_.ItemAt(0)) + BytesOf(canvas_.ItemAt(1)));
    EXPECT_EQ(history_.Count(), 3); // the placement and the red went
    EXPECT_LE(history_.Bytes(), history_.ByteLimit());
    EXPECT_FALSE(history_.IsClean());
    Move(1, 1, {7, 1}); // still merges with the step before the rebuild
    EXPECT_EQ(history_.Count(), 3);
    history_.Undo();
    history_.Undo();
    EXPECT_TRUE(history_.IsClean());
    EXPECT_TRUE(cleanTold_.back());
    EXPECT_EQ(static_cast<const CPictureItem*>(canvas_.ItemAt(0))->Bitmap().pixel(0, 0),
              QColor(Qt::green).rgb());
    history_.Undo();
    EXPECT_FALSE(history_.CanUndo());
    EXPECT_EQ(static_cast<const CPictureItem*>(canvas_.ItemAt(0))->Bitmap().pixel(0, 0),
              QColor(Qt::red).rgb());
}

} // namespace
