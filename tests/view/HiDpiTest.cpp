// The view on a screen of twice the density. A program of its own: the
// scale is fixed before the application object exists.
#include "CToolBarIcons.h"
#include "CTrackerCursors.h"
#include "CommandIds.h"
#include "EditorViewTesting.h"

#include <QRandomGenerator>

namespace {

const bool kDoubleDensity = qputenv("QT_SCALE_FACTOR", "2");

// Opaque pixels of random colours: any blur or shift shows.
QImage Noise(QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    QRandomGenerator random(26);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            picture.setPixel(x, y, 0xff000000u | random.bounded(0x1000000u));
        }
    }
    return picture;
}

class HiDpiTest : public EditorViewTest
{
protected:
    void OpenNoise(QSize size)
    {
        ASSERT_TRUE(kDoubleDensity);
        picture_ = Noise(size);
        const QString path = folder_.filePath("noise.png");
        ASSERT_TRUE(picture_.save(path));
        prompter_.openFiles.push_back(path);
        view_->RunCommand(cmd::kFileOpen);
        ASSERT_EQ(Viewport()->devicePixelRatioF(), 2.0);
    }

    // The viewport as the screen shows it, in screen pixels.
    QImage Screen() const
    {
        return Viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    // The picture's top-left on the screen, in screen pixels.
    QPoint Origin() const { return (view_->PictureRect().topLeft() - view_->ScrollOffset()) * 2; }

    QImage picture_;
};

TEST_F(HiDpiTest, AtFullSizeEachPicturePixelIsASharpBlockOfScreenPixels)
{
    OpenNoise({64, 48});
    ASSERT_EQ(view_->Zoom(), 1.0);
    const QImage screen = Screen();
    const QPoint origin = Origin();
    for (int y = 0; y < picture_.height(); ++y) {
        for (int x = 0; x < picture_.width(); ++x) {
            const QPoint block = origin + QPoint(x, y) * 2;
            for (const QPoint corner : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)}) {
                ASSERT_EQ(screen.pixel(block + corner), picture_.pixel(x, y)) << x << "," << y;
            }
        }
    }
}

TEST_F(HiDpiTest, AtHalfSizeTheScreenShowsEveryPicturePixel)
{
    OpenNoise({128, 96});
    frame_.Receive(msg::Make(msg::kZoom, msg::kZoomViewOnly, 50));
    ASSERT_EQ(view_->PictureRect().size(), QSize(64, 48));
    const QImage screen = Screen();
    const QPoint origin = Origin();
    for (int y = 0; y < picture_.height(); ++y) {
        for (int x = 0; x < picture_.width(); ++x) {
            ASSERT_EQ(screen.pixel(origin + QPoint(x, y)), picture_.pixel(x, y)) << x << "," << y;
        }
    }
}

TEST_F(HiDpiTest, TrackerHandlesKeepTheirSizeInLogicalPixels)
{
    prompter_.openFiles.push_back(WritePicture("white.png", {400, 300}, Qt::white));
    view_->RunCommand(cmd::kFileOpen);
    DropItem({100, 80}, view_->PictureRect().center());
    ASSERT_EQ(view_->SelectedIndex(), 1);
    const QPointF corner =
        Canvas().ItemOutlineInView(1).boundingRect().topLeft() - QPointF(view_->ScrollOffset());
    // The quarter of the top-left handle that lies outside the item, on white.
    const QImage screen = Screen();
    const QRect quadrant(((corner - QPointF(10, 10)) * 2).toPoint(), QSize(19, 19));
    QRect drawn;
    for (int y = quadrant.top(); y <= quadrant.bottom(); ++y) {
        for (int x = quadrant.left(); x <= quadrant.right(); ++x) {
            if (screen.pixel(x, y) != 0xffffffffu) {
                drawn |= QRect(x, y, 1, 1);
            }
        }
    }
    const int half = COMRImageEditorView::kHandleSize; // half a handle, in screen pixels
    EXPECT_NEAR(drawn.width(), half, 1);
    EXPECT_NEAR(drawn.height(), half, 1);
}

TEST_F(HiDpiTest, ToolBarIconsAndCursorsAreDrawnForTheDensity)
{
    const QSize icon(CToolBarIcons::kSize, CToolBarIcons::kSize);
    const QPixmap open = CToolBarIcons::Icon(cmd::kFileOpen).pixmap(icon, 2.0);
    EXPECT_EQ(open.deviceIndependentSize().toSize(), icon);
    EXPECT_EQ(open.size(), icon * 2);
    const QPixmap turn = CTrackerCursors::Cursor(4).pixmap(); // the turning cursor
    EXPECT_EQ(turn.devicePixelRatio(), 2.0);
    EXPECT_EQ(turn.deviceIndependentSize().toSize(), QSize(24, 24));
}

} // namespace
