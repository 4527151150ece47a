// What users of any desktop program reach for: files and pictures dropped
// from other programs, the system clipboard and the recent-file list, on the
// real view in the real main frame.
#include "CClipboardPictures.h"
#include "CItemCanvas.h"
#include "CMainFrame.h"
#include "COMRImageEditorDoc.h"
#include "COMRImageEditorView.h"
#include "COpenableFile.h"
#include "CPictureCommands.h"
#include "CPictureItem.h"
#include "CProjectWriter.h"
#include "CommandIds.h"
#include "EditorWindowTesting.h"
#include "ViewInFrameTesting.h"

#include <QAction>
#include <QClipboard>
#include <QDropEvent>
#include <QFile>
#include <QMenuBar>
#include <QMimeData>
#include <QTest>

namespace {

// Stands in for the open-size dialog and writes down each picture it opened.
class COpenRecordingPrompter : public CScriptedPrompter
{
public:
    CBitmap OpenPicture(QWidget* parent, const QString& path) override
    {
        sized.append(path);
        return CScriptedPrompter::OpenPicture(parent, path);
    }
    QStringList sized;
};

// A panel bar's panel: writes down the items placed.
class CPlacedRecorder : public CMessageReceiver, public CPlacementReceiver
{
public:
    void Receive(msg::Message) override {}
    void PictureOpened(const QString&) override {}
    void ItemPlaced(const QString& label) override { placed.append(label); }
    void TextPlaced(const QString& name) override { placed.append(name); }
    QStringList placed;
};

QMimeData* FileData(const QStringList& paths)
{
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& path : paths) {
        urls.append(QUrl::fromLocalFile(path));
    }
    data->setUrls(urls);
    return data;
}

QMimeData* PictureData(const QImage& picture, const QString& address = {})
{
    auto* data = new QMimeData;
    data->setImageData(picture);
    if (!address.isEmpty()) {
        data->setUrls({QUrl(address)});
    }
    return data;
}

class DesktopConventionsTest : public WidgetTest, protected CEditorWindow<COpenRecordingPrompter>
{
protected:
    DesktopConventionsTest() { ShowViewInFrame(frame_, toolBar_, itemBar_); }

    QString WriteText(const QString& name) const
    {
        QFile file(folder_.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a picture\n");
        return file.fileName();
    }

    void OpenPicture(QSize size = {400, 300})
    {
        prompter_.openFiles = {WritePicture("picture.png", size, Qt::white)};
        ASSERT_TRUE(frame_.RunCommand(cmd::kFileOpen));
        ASSERT_EQ(view_->Zoom(), 1.0);
    }

    // Drags the data onto a widget and drops it at a point of that widget;
    // returns whether the widget took the drag.
    bool Drop(QWidget* target, QPoint at, QMimeData* data,
              Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction)
    {
        const std::unique_ptr<QMimeData> owned(data);
        QDragEnterEvent enter(at, actions, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent drop(QPointF(at), actions, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        EXPECT_EQ(drop.dropAction(), Qt::CopyAction); // never a move: the file stays
        QCoreApplication::processEvents();            // the drop is handled after the drag
        return true;
    }

    // A point of the picture, in the viewport's coordinates.
    QPoint OnPicture(QPoint picture) const
    {
        return view_->PictureRect().topLeft() + picture - view_->ScrollOffset();
    }

    QPointF ItemCentre(int index) const
    {
        return Canvas().ItemAt(index)->Outline().boundingRect().center();
    }

    QString SourceOf(int index) const
    {
        return dynamic_cast<CPictureItem*>(Canvas().ItemAt(index))->SourceName();
    }

    CPlacedRecorder toolBar_;
    CPlacedRecorder itemBar_;
};

// ---- drops

TEST_F(DesktopConventionsTest, FileDroppedWithoutAPictureOpensAsFileOpenDoes)
{
    const QString path = WritePicture("dropped.png", {320, 200});
    EXPECT_TRUE(Drop(Viewport(), {50, 50}, FileData({path})));
    EXPECT_EQ(prompter_.sized, QStringList{path}); // through the open-size dialog
    ASSERT_TRUE(view_->PicturePresent());
    EXPECT_EQ(Canvas().BaseSize(), QSizeF(320, 200));
    EXPECT_EQ(view_->File().Path(), path);
    EXPECT_EQ(Canvas().Count(), 1);
}

TEST_F(DesktopConventionsTest, FilesDroppedOnAPictureArePlacedTwentyPixelsApart)
{
    OpenPicture();
    const QString star = WritePicture("star.png", {40, 30}, Qt::red);
    const QString moon = WritePicture("moon.png", {20, 20}, Qt::blue);
    EXPECT_TRUE(Drop(Viewport(), OnPicture({100, 80}), FileData({star, moon})));
    ASSERT_EQ(Canvas().Count(), 3);
    EXPECT_EQ(ItemCentre(1), QPointF(100, 80));
    EXPECT_EQ(ItemCentre(2), QPointF(120, 100));
    EXPECT_EQ(SourceOf(1), star);
    EXPECT_EQ(Canvas().ItemAt(2)->Size(), QSizeF(20, 20));
    EXPECT_EQ(toolBar_.placed, (QStringList{star, moon}));
    EXPECT_EQ(itemBar_.placed, (QStringList{star, moon}));
    EXPECT_TRUE(document_.IsModified());
    EXPECT_EQ(view_->SelectedIndex(), 2);
}

TEST_F(DesktopConventionsTest, FileThatIsNoPictureIsRefusedAndTheOthersStillPlaced)
{
    const QString text = WriteText("notes.png");
    EXPECT_TRUE(Drop(Viewport(), {50, 50}, FileData({text, folder_.path()})));
    EXPECT_EQ(prompter_.told, (QStringList{CPictureCommands::kUnreadable.arg(text),
                                           CPictureCommands::kUnreadable.arg(folder_.path())}));
    EXPECT_FALSE(view_->PicturePresent()); // nothing opened
    EXPECT_TRUE(prompter_.sized.isEmpty());

    OpenPicture();
    prompter_.told.clear();
    const QString star = WritePicture("star.png", {40, 30}, Qt::red);
    EXPECT_TRUE(Drop(Viewport(), OnPicture({100, 80}), FileData({text, star})));
    EXPECT_EQ(prompter_.told, QStringList{CPictureCommands::kUnreadable.arg(text)});
    ASSERT_EQ(Canvas().Count(), 2);
    EXPECT_EQ(ItemCentre(1), QPointF(100, 80)); // the first placed takes the point
}

TEST_F(DesktopConventionsTest, DroppedProjectOpensWithItsItemsEvenOverAPicture)
{
    OpenPicture({200, 100});
    const QString star = WritePicture("star.png", {40, 30}, Qt::red);
    EXPECT_TRUE(Drop(Viewport(), OnPicture({60, 40}), FileData({star})));
    const QString project = folder_.filePath("work.pixvel");
    ASSERT_TRUE(CProjectWriter::Save(ProjectContent::Snapshot(Canvas()), project, nullptr));
    const QImage decorated = Canvas().Render().copy();
    EXPECT_TRUE(Drop(Viewport(), OnPicture({10, 10}), FileData({star})));
    ASSERT_EQ(Canvas().Count(), 3);

    prompter_.sized.clear();
    prompter_.answers.push_back(CPrompter::kDiscard); // the changes on screen
    EXPECT_TRUE(Drop(Viewport(), OnPicture({10, 10}), FileData({project})));
    // Opened as File Open opens a project, not placed as a picture.
    EXPECT_TRUE(prompter_.sized.isEmpty());
    EXPECT_EQ(view_->File().Path(), project);
    ASSERT_EQ(Canvas().Count(), 2);
    EXPECT_TRUE(Canvas().Composite() == decorated);
    EXPECT_FALSE(document_.IsModified());
}

TEST_F(DesktopConventionsTest, SeveralFilesWithoutAPictureOpenTheFirstAndPlaceTheRest)
{
    const QString base = WritePicture("base.png", {300, 300}, Qt::white);
    const QString star = WritePicture("star.png", {40, 30}, Qt::red);
    EXPECT_TRUE(Drop(&frame_, {5, 5}, FileData({base, star})));
    ASSERT_EQ(Canvas().Count(), 2);
    EXPECT_EQ(Canvas().BaseSize(), QSizeF(300, 300));
    EXPECT_EQ(ItemCentre(1), QPointF(150, 150)); // dropped off the view: the centre
}

TEST_F(DesktopConventionsTest, BrowserPictureIsPlacedAtTheDropPointNamedAfterItsAddress)
{
    QImage picture(30, 20, QImage::Format_RGB32);
    picture.fill(Qt::green);
    EXPECT_TRUE(Drop(Viewport(), {50, 50}, PictureData(picture)));
    EXPECT_EQ(prompter_.told, QStringList{QStringLiteral("현재 편집할 이미지가 없습니다")});

    OpenPicture();
    EXPECT_TRUE(Drop(Viewport(), OnPicture({200, 100}),
                     PictureData(picture, "http://127.0.0.1:8080/pics/cat.jpg")));
    ASSERT_EQ(Canvas().Count(), 2);
    EXPECT_EQ(ItemCentre(1), QPointF(200, 100));
    EXPECT_EQ(itemBar_.placed, QStringList{"cat.jpg"});
    EXPECT_EQ(Canvas().Composite().pixelColor(200, 100), QColor(Qt::green));
}

TEST_F(DesktopConventionsTest, TextRemoteAddressesAndMovesAreNotTaken)
{
    // A drag that can only move would have its file deleted by the program
    // it came from.
    const QString star = WritePicture("star.png", {40, 30}, Qt::red);
    EXPECT_FALSE(Drop(Viewport(), {10, 10}, FileData({star}), Qt::MoveAction));
    EXPECT_TRUE(QFile::exists(star));
    auto* text = new QMimeData;
    text->setText("hello");
    EXPECT_FALSE(Drop(Viewport(), {10, 10}, text));
    auto* remote = new QMimeData;
    remote->setUrls({QUrl("http://127.0.0.1:8080/a.png")});
    EXPECT_FALSE(Drop(&frame_, {10, 10}, remote));
    EXPECT_TRUE(prompter_.told.isEmpty());
}

TEST_F(DesktopConventionsTest, DroppedBrokenProjectIsRefusedAndThePictureStays)
{
    OpenPicture();
    const QString project = WriteText("card.pixvel");
    prompter_.sized.clear();
    EXPECT_TRUE(Drop(Viewport(), OnPicture({100, 100}), FileData({project})));
    EXPECT_TRUE(prompter_.sized.isEmpty());
    ASSERT_EQ(prompter_.told.size(), 1);
    EXPECT_TRUE(prompter_.told.front().startsWith("프로젝트를 열 수 없습니다."));
    EXPECT_EQ(Canvas().Count(), 1);
    EXPECT_EQ(view_->File().Path(), folder_.filePath("picture.png"));
}

// ---- the clipboard

TEST_F(DesktopConventionsTest, CtrlVPastesTheClipboardPictureAtTheCentre)
{
    OpenPicture();
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::magenta);
    QGuiApplication::clipboard()->setImage(picture);
    view_->setFocus();
    QTest::keyClick(view_, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(Canvas().Count(), 2);
    EXPECT_EQ(ItemCentre(1), QPointF(200, 150));
    EXPECT_EQ(SourceOf(1), QStringLiteral("클립보드"));
    EXPECT_EQ(toolBar_.placed, QStringList{"클립보드"});
    EXPECT_EQ(Canvas().Composite().pixelColor(200, 150), QColor(Qt::magenta));
}

TEST_F(DesktopConventionsTest, CopiedItemGoesToTheClipboardAsDrawnAndPastesItself)
{
    OpenPicture();
    const QString star = WritePicture("star.png", {40, 30}, Qt::red);
    Drop(Viewport(), OnPicture({100, 80}), FileData({star}));
    Canvas().ItemAt(1)->Effects().invert = true; // red drawn as cyan
    Canvas().ItemAt(1)->RotateAboutCentre(90);
    view_->setFocus();
    QTest::keyClick(view_, Qt::Key_C, Qt::ControlModifier);
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), QSize(30, 40)); // as it lies, turned
    EXPECT_EQ(copied.pixelColor(15, 20), QColor(Qt::cyan));

    // Our own picture on the clipboard: Ctrl+V pastes the item itself.
    QTest::keyClick(view_, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(Canvas().Count(), 3);
    EXPECT_EQ(SourceOf(2), star);
    EXPECT_TRUE(Canvas().ItemAt(2)->Effects().invert);

    // Another program copied a picture since: that one is pasted.
    QImage other(10, 10, QImage::Format_RGB32);
    other.fill(Qt::yellow);
    QGuiApplication::clipboard()->setImage(other);
    QTest::keyClick(view_, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(Canvas().Count(), 4);
    EXPECT_EQ(SourceOf(3), QStringLiteral("클립보드"));
}

TEST_F(DesktopConventionsTest, CopyImageFromTheEditMenuPutsTheCompositeOnTheClipboard)
{
    QAction* copy = frame_.Commands().Action(cmd::kCopyImage);
    const QList<QAction*> menus = frame_.menuBar()->actions();
    const auto edit = std::find_if(menus.begin(), menus.end(), [](QAction* menu) {
        return menu->text() == QStringLiteral("편집(&E)");
    });
    ASSERT_NE(edit, menus.end());
    EXPECT_TRUE((*edit)->menu()->actions().contains(copy));
    EXPECT_EQ(copy->text(), QStringLiteral("이미지 복사"));
    frame_.UpdateCommands();
    EXPECT_FALSE(copy->isEnabled()); // nothing to copy yet

    OpenPicture({120, 90});
    Drop(Viewport(), OnPicture({60, 45}), PictureData(QImage(10, 10, QImage::Format_RGB32)));
    QGuiApplication::clipboard()->clear();
    view_->setFocus();
    QTest::keyClick(view_, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32),
              Canvas().Composite().convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(Canvas().Count(), 2); // the item was not copied, nor pasted
}

// ---- recent files

TEST_F(DesktopConventionsTest, RecentEntryWhoseFileIsGoneOrNoPictureLeavesTheList)
{
    const QString good = WritePicture("good.png", {50, 40});
    const QString text = WriteText("text.jpg");
    const QString gone = folder_.filePath("gone.jpg");
    settings_.recentFiles = {good, gone, text};
    frame_.UpdateCommands();

    EXPECT_TRUE(frame_.RunCommand(cmd::kRecentFile1 + 1));
    EXPECT_EQ(prompter_.told, QStringList{COpenableFile::kMissing.arg(gone)});
    EXPECT_EQ(settings_.recentFiles, (QStringList{good, text}));

    EXPECT_TRUE(frame_.RunCommand(cmd::kRecentFile1 + 1));
    EXPECT_EQ(prompter_.told.last(), CPictureCommands::kUnreadable.arg(text));
    EXPECT_EQ(settings_.recentFiles, QStringList{good});
    EXPECT_FALSE(view_->PicturePresent());

    EXPECT_TRUE(frame_.RunCommand(cmd::kRecentFile1));
    EXPECT_TRUE(view_->PicturePresent());
    EXPECT_EQ(settings_.recentFiles, QStringList{good});
}

} // namespace
