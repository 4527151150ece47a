#include "CEditingState.h"
#include "CEditorApp.h"
#include "CItemCanvas.h"
#include "CMainFrame.h"
#include "COMRImageEditorView.h"
#include "COpenSizeDialog.h"
#include "CPictureItem.h"
#include "CommandIds.h"
#include "DialogTesting.h"
#include "EditorViewTesting.h"

#include <QFileDialog>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// A HEIC made by heif-enc from a PNG of the picture.
QString EncodeHeic(const QImage& picture, const QString& heic)
{
    const QString png = heic + ".png";
    EXPECT_TRUE(picture.save(png));
    QProcess encode;
    encode.start("heif-enc", {"-q", "85", "-o", heic, png});
    EXPECT_TRUE(encode.waitForFinished(120000) && encode.exitCode() == 0)
        << encode.readAllStandardError().toStdString();
    return heic;
}

// A phone photo in the editor as a user opens one: File Open, the file
// dialog, the size dialog, then Save As into a format that can be written.
// Types a path into the file dialog's name field and presses Enter.
void TypeFileName(QFileDialog* dialog, const QString& path)
{
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    name->setText(path);
    QTest::keyClick(name, Qt::Key_Return);
}

// Drags local files onto a widget and drops them there.
void DropFiles(QWidget* target, QPoint at, const QStringList& paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths) {
        urls.append(QUrl::fromLocalFile(path));
    }
    data.setUrls(urls);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QCoreApplication::processEvents(); // the drop is handled after the drag
}

class PhonePhotoTest : public WidgetTest
{
protected:
    PhonePhotoTest()
    {
        qputenv("PIXVEL_REGISTRY_DIR", QFile::encodeName(root_.filePath("registry")));
    }
    ~PhonePhotoTest() override { qunsetenv("PIXVEL_REGISTRY_DIR"); }

    // A 1200 × 800 HEIC made by heif-enc: red on the left, blue on the right.
    QString MakePhoto()
    {
        QImage picture(1200, 800, QImage::Format_RGB32);
        picture.fill(qRgb(20, 40, 210));
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width() / 2; ++x) {
                picture.setPixel(x, y, qRgb(220, 30, 30));
            }
        }
        return EncodeHeic(picture, root_.filePath("IMG_0001.HEIC"));
    }

    QTemporaryDir root_;
};

TEST_F(PhonePhotoTest, HeicOpensThroughTheDialogsAndSavesAsWebp)
{
    const QString photo = MakePhoto();
    CEditorApp app({});
    ASSERT_TRUE(app.InitInstance());
    auto* view = dynamic_cast<COMRImageEditorView*>(app.MainFrame()->View());
    ASSERT_NE(view, nullptr);

    QStringList openFilters;
    QString sizeShown;
    std::unique_ptr<QTimer> sizeWatcher;
    auto fileWatcher = WhenOpen<QFileDialog>([&](QFileDialog* dialog) {
        openFilters = dialog->nameFilters();
        sizeWatcher = WhenOpen<COpenSizeDialog>([&](COpenSizeDialog* sizes) {
            for (const QLabel* label : sizes->findChildren<QLabel*>()) {
                if (label->text().startsWith('(')) {
                    sizeShown = label->text();
                }
            }
            // "게시판용 (640×480)", then OK.
            QTest::mouseClick(sizes->findChild<QRadioButton*>("choice1"), Qt::LeftButton, {},
                              QPoint(6, 6));
            QTest::mouseClick(sizes->findChild<QPushButton*>("ok"), Qt::LeftButton);
        });
        TypeFileName(dialog, photo);
    });
    ASSERT_TRUE(app.MainFrame()->RunCommand(cmd::kFileOpen));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->PictureRect().isValid(); }, 30000));

    ASSERT_FALSE(openFilters.isEmpty());
    EXPECT_TRUE(openFilters.front().contains("*.HEIC"));
    EXPECT_EQ(sizeShown, "(1200×800)");
    EXPECT_EQ(view->PictureRect().size(), QSize(640, 427));
    EXPECT_EQ(view->File().Path(), photo);
    EXPECT_EQ(app.MainFrame()->windowTitle(), "IMG_0001.HEIC - Pixvel");
    const QImage& shown = CItemCanvas::Instance().Composite();
    EXPECT_GT(qRed(shown.pixel(100, 200)), 180);
    EXPECT_GT(qBlue(shown.pixel(540, 200)), 170);

    // A WebP sticker and another phone photo dropped on the picture become items.
    QImage sticker(30, 30, QImage::Format_ARGB32);
    sticker.fill(qRgba(0, 200, 0, 160));
    const QString webp = root_.filePath("leaf.webp");
    ASSERT_TRUE(sticker.save(webp));
    DropFiles(view->viewport(), view->PictureRect().center(), {webp, photo});
    ASSERT_EQ(CItemCanvas::Instance().Count(), 3);
    EXPECT_EQ(CItemCanvas::Instance().ItemAt(1)->Size(), QSizeF(30, 30));
    EXPECT_EQ(CItemCanvas::Instance().ItemAt(2)->Size(), QSizeF(1200, 800));

    // HEIC is read-only: Save As offers only what can be written.
    QStringList saveFilters;
    const QString saved = root_.filePath("card.webp");
    fileWatcher = WhenOpen<QFileDialog>([&](QFileDialog* dialog) {
        saveFilters = dialog->nameFilters();
        TypeFileName(dialog, saved);
    });
    ASSERT_TRUE(app.MainFrame()->RunCommand(cmd::kFileSaveAs));
    EXPECT_FALSE(saveFilters.join(' ').contains("heic", Qt::CaseInsensitive));
    EXPECT_TRUE(saveFilters.join(' ').contains("*.webp"));
    QImageReader reader(saved);
    EXPECT_EQ(reader.format(), "webp");
    EXPECT_EQ(reader.size(), QSize(640, 427));
}

class ReadOnlyPictureTest : public EditorViewTest
{
};

// Save on a HEIC goes to Save As, proposing a JPEG of the same name; the
// photo itself is never touched, not even by the command line's backup.
TEST_F(ReadOnlyPictureTest, SaveOfAHeicAsksForAnotherName)
{
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    const QString photo = EncodeHeic(picture, folder_.filePath("IMG_0002.heic"));
    QFile file(photo);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray original = file.readAll();
    file.close();

    view_->OpenDocument(photo);
    settings_.backupOnSave = true;
    ASSERT_TRUE(view_->PicturePresent());
    CEditingState::Instance().currentItem->Effects().brightness += 10;
    frame_.Receive(msg::Make(msg::kEffectsChanged));
    ASSERT_TRUE(document_.IsModified());

    prompter_.saveFiles.push_back(QString()); // cancelled
    view_->RunCommand(cmd::kFileSave);
    EXPECT_EQ(prompter_.proposedNames, QStringList{folder_.filePath("IMG_0002.jpg")});
    EXPECT_TRUE(document_.IsModified());
    EXPECT_TRUE(refusals_.isEmpty());

    prompter_.saveFiles.push_back(folder_.filePath("IMG_0002.jpg"));
    view_->RunCommand(cmd::kFileSave);
    EXPECT_FALSE(document_.IsModified());
    EXPECT_EQ(QImageReader(folder_.filePath("IMG_0002.jpg")).format(), "jpeg");
    EXPECT_EQ(view_->File().Path(), folder_.filePath("IMG_0002.jpg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), original);
    EXPECT_FALSE(QFile::exists(folder_.filePath("IMG_0002_원본.heic")));
}

} // namespace
