// The image tool panel inside the editor's real main frame and view: a hue
// change made with the page's slider reaches the picture on screen and the
// saved file, which must be what pixvel-tool renders for the same values.

#include "AppSettings.h"
#include "CHueSaturationPage.h"
#include "CImageToolBar.h"
#include "CImageToolPanel.h"
#include "CMainFrame.h"
#include "COMRImageEditorDoc.h"
#include "COMRImageEditorView.h"
#include "CPrompter.h"
#include "CPageHeaderButton.h"
#include "CommandIds.h"
#include "PanelTesting.h"

#include <QFile>
#include <QProcess>
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
    EXPECT_EQ(Screen(), before) << "a moving thumb does not re-render";
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

} // namespace
