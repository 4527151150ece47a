// The image tool panel inside the editor's real main frame and view: a hue
// change made with the page's slider reaches the picture on screen and the
// saved file, which must be what pixvel-tool renders for the same values;
// while the thumb moves, the view previews each position.

#include "AppSettings.h"
#include "CEffectPainter.h"
#include "CHueSaturationPage.h"
#include "CImageToolBar.h"
#include "CImageToolPanel.h"
#include "CItemCanvas.h"
#include "CMainFrame.h"
#include "COMRImageEditorDoc.h"
#include "COMRImageEditorView.h"
#include "CPageHeaderButton.h"
#include "CPrompter.h"
#include "CommandIds.h"
#include "PanelTesting.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Opens and saves the files the test names.
class CFilePrompter : public CPrompter
{
public:
    void Tell(QWidget*, const QString& text) override { told.append(text); }
    Answer AskSaveFirst(QWidget*, const QString&) override { return kCancel; }
    QString OpenFileName(QWidget*) override { return openFile; }
    QString SaveFileName(QWidget*, const QString&) override { return saveFile; }
    Answer Ask(QWidget*, const QString&) override { return kNo; }
    std::optional<NewPictureSettings> NewPicture(QWidget*) override { return std::nullopt; }
    CBitmap OpenPicture(QWidget*, const QString& path) override { return CBitmap::FromFile(path); }

    QString openFile;
    QString saveFile;
    QStringList told;
};

class ImageToolEndToEndTest : public WidgetTest
{
protected:
    ImageToolEndToEndTest()
    {
        frame_.SetView(new COMRImageEditorView(document_, settings_, &frame_, prompter_));
        frame_.resize(1000, 760);
        frame_.show();
        frame_.ApplyDefaultBarSizes();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame_));
    }
    ~ImageToolEndToEndTest() override { CEditingState::Instance() = CEditingState(); }

    // A photo-like picture with every hue in it.
    QString WritePhoto() const
    {
        QImage photo(160, 120, QImage::Format_RGB32);
        for (int y = 0; y < photo.height(); ++y) {
            for (int x = 0; x < photo.width(); ++x) {
                photo.setPixelColor(x, y, QColor::fromHsv(x * 359 / 159, 60 + y, 90 + y));
            }
        }
        const QString path = folder_.filePath(QStringLiteral("photo.png"));
        photo.save(path);
        return path;
    }
    // Saves through File → Save As under `name`; returns the path.
    QString SaveAs(const QString& name)
    {
        prompter_.saveFile = folder_.filePath(name);
        frame_.RunCommand(cmd::kFileSaveAs);
        return prompter_.saveFile;
    }
    // What pixvel-tool render writes for the photo at a hue.
    QByteArray ToolRender(const QString& photo, const QString& name, int hue) const
    {
        const QString output = folder_.filePath(name);
        QProcess tool;
        tool.start(QStringLiteral(PIXVEL_TOOL), {QStringLiteral("render"), photo, output,
                                                 QStringLiteral("--hue"), QString::number(hue)});
        EXPECT_TRUE(tool.waitForFinished(60000));
        EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
        return Bytes(output);
    }
    static QByteArray Bytes(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QImage Screen() const { return frame_.View()->Widget()->grab().toImage(); }
    COMRImageEditorView* View() const
    {
        return static_cast<COMRImageEditorView*>(frame_.View()->Widget());
    }
    // The hue slider of the opened hue page.
    CValueSlider* OpenHueSlider()
    {
        CHueSaturationPage* page = frame_.ImageToolBar()->ToolPanel()->HueSaturationPage();
        QTest::mouseClick(page->Header(), Qt::LeftButton);
        EXPECT_TRUE(page->Header()->isChecked());
        return page->findChild<CValueSlider*>(QString::number(CHueSaturationPage::kHueSlider));
    }

    QTemporaryDir folder_;
    AppSettings settings_;
    COMRImageEditorDoc document_;
    CFilePrompter prompter_;
    CMainFrame frame_{settings_, prompter_};
};

TEST_F(ImageToolEndToEndTest, HueSliderChangesTheScreenAndTheSavedFileAsTheToolDoes)
{
    const QString photo = WritePhoto();
    prompter_.openFile = photo;
    frame_.RunCommand(cmd::kFileOpen);
    QApplication::processEvents();
    CImageToolPanel* panel = frame_.ImageToolBar()->ToolPanel();
    CHueSaturationPage* page = panel->HueSaturationPage();
    QTest::mouseClick(page->Header(), Qt::LeftButton);
    ASSERT_TRUE(page->Header()->isChecked());
    auto* hue = page->findChild<CValueSlider*>(QString::number(CHueSaturationPage::kHueSlider));
    ASSERT_TRUE(hue->isVisible());

    const QImage before = Screen();
    DragThumb(hue, 75, false);
    QApplication::processEvents();
    EXPECT_NE(Screen(), before) << "a moving thumb shows a preview";
    SendMouse(hue, QEvent::MouseButtonRelease, ThumbPoint(hue, 75));
    QApplication::processEvents();
    const int value = page->Hue();
    ASSERT_NEAR(value, 75, 2);
    EXPECT_NE(Screen(), before) << "the release re-renders the picture on screen";

    for (const char* extension : {"png", "jpg", "bmp", "tif"}) {
        const QString saved = SaveAs(QStringLiteral("saved.%1").arg(extension));
        const QByteArray bytes = Bytes(saved);
        ASSERT_FALSE(bytes.isEmpty()) << extension;
        EXPECT_TRUE(bytes == ToolRender(photo, QStringLiteral("tool.%1").arg(extension), value))
            << extension << ": the saved file differs from pixvel-tool's";
    }
    EXPECT_TRUE(prompter_.told.isEmpty()) << prompter_.told.join(' ').toStdString();
}

// ---- live preview

// The mean colour of a picture.
QColor MeanColour(const QImage& picture)
{
    double sums[3] = {};
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = picture.pixel(x, y);
            sums[0] += qRed(pixel);
            sums[1] += qGreen(pixel);
            sums[2] += qBlue(pixel);
        }
    }
    const double count = double(picture.width()) * picture.height();
    return QColor::fromRgbF(float(sums[0] / count / 255), float(sums[1] / count / 255),
                            float(sums[2] / count / 255));
}

// Degrees between two hues, 0 … 180.
int HueDistance(int a, int b)
{
    const int d = std::abs(a - b) % 360;
    return std::min(d, 360 - d);
}

// A noisy, muted, photo-like picture whose mean colour has a clear hue and
// whose channels stay clear of 0 and 255 under any hue rotation, so the
// mean of the turned picture is the mean turned.
QString WriteNoisyPhoto(const QString& path)
{
    QImage photo(900, 600, QImage::Format_RGB32);
    QRandomGenerator noise(25);
    for (int y = 0; y < photo.height(); ++y) {
        for (int x = 0; x < photo.width(); ++x) {
            const int n = int(noise.bounded(30)) - 15;
            photo.setPixel(x, y, qRgb(170 + n + x / 60, 110 + n, 80 + n + y / 60));
        }
    }
    photo.save(path);
    return path;
}

TEST_F(ImageToolEndToEndTest, HueDragPreviewsEveryPositionAndReleaseRendersAsTheTool)
{
    const QString photo = WriteNoisyPhoto(folder_.filePath(QStringLiteral("noisy.png")));
    prompter_.openFile = photo;
    frame_.RunCommand(cmd::kFileOpen);
    QApplication::processEvents();
    CValueSlider* hue = OpenHueSlider();
    ASSERT_TRUE(hue->isVisible());
    const CLivePreview& preview = View()->LivePreview();
    const QImage composite = CItemCanvas::Instance().Composite();
    QImage source(1, 1, QImage::Format_RGB32);
    source.fill(MeanColour(QImage(photo)));

    SendMouse(hue, QEvent::MouseButtonPress, ThumbPoint(hue, hue->Position()));
    for (int step = 1; step <= 30; ++step) {
        const int position = -180 + step * 12;
        const int frames = preview.FramesRendered();
        SendMouse(hue, QEvent::MouseMove, ThumbPoint(hue, position));
        ASSERT_TRUE(QTest::qWaitFor([&] { return preview.FramesRendered() > frames; }, 2000))
            << "no preview frame for position " << position;
        ItemEffects turned;
        turned.hue = position;
        const int expected = MeanColour(CEffectPainter::Colour(source, turned)).hsvHue();
        const int shown = MeanColour(preview.Frame()).hsvHue();
        EXPECT_LE(HueDistance(shown, expected), 3)
            << "position " << position << ": preview hue " << shown << ", expected " << expected;
    }
    EXPECT_TRUE(CItemCanvas::Instance().Composite() == composite)
        << "the drag renders previews only, never the full composite";

    SendMouse(hue, QEvent::MouseButtonRelease, ThumbPoint(hue, 180));
    QApplication::processEvents();
    EXPECT_FALSE(preview.Active());
    const int value = frame_.ImageToolBar()->ToolPanel()->HueSaturationPage()->Hue();
    EXPECT_EQ(value, 180);
    const QByteArray saved = Bytes(SaveAs(QStringLiteral("saved.png")));
    ASSERT_FALSE(saved.isEmpty());
    EXPECT_TRUE(saved == ToolRender(photo, QStringLiteral("tool.png"), value))
        << "the saved file differs from pixvel-tool's";
}

TEST_F(ImageToolEndToEndTest, PreviewFramesAreCoalescedToTheLatestPosition)
{
    prompter_.openFile = WriteNoisyPhoto(folder_.filePath(QStringLiteral("noisy.png")));
    frame_.RunCommand(cmd::kFileOpen);
    QApplication::processEvents();
    CValueSlider* hue = OpenHueSlider();
    const CLivePreview& preview = View()->LivePreview();
    SendMouse(hue, QEvent::MouseButtonPress, ThumbPoint(hue, hue->Position()));
    SendMouse(hue, QEvent::MouseMove, ThumbPoint(hue, -150));
    QApplication::processEvents();
    const int frames = preview.FramesRendered();
    // A burst of moves within one frame: one frame, showing the last.
    for (int position = -140; position <= 90; position += 10) {
        SendMouse(hue, QEvent::MouseMove, ThumbPoint(hue, position));
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return preview.FramesRendered() > frames; }, 2000));
    QTest::qWait(100);
    EXPECT_EQ(preview.FramesRendered(), frames + 1);
    const QImage last = preview.Frame();
    SendMouse(hue, QEvent::MouseMove, ThumbPoint(hue, 90));
    QTest::qWait(100);
    EXPECT_EQ(preview.FramesRendered(), frames + 1) << "an unchanged position renders nothing";
    EXPECT_TRUE(preview.Frame() == last);
    SendMouse(hue, QEvent::MouseButtonRelease, ThumbPoint(hue, 90));
}

} // namespace
