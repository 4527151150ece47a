#include "CEditingState.h"
#include "CPictureFile.h"
#include "CPictureItem.h"
#include "CommandIds.h"
#include "EditorViewTesting.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>

#include <functional>

namespace {

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The composite as the editor writes JPEG files.
QByteArray JpegAt95(const QImage& picture)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(95);
    writer.write(picture);
    return buffer.data();
}

class DocumentFilesTest : public EditorViewTest
{
protected:
    // Changes the current item's effects, as a panel does.
    void Modify()
    {
        CEditingState::Instance().currentItem->Effects().brightness += 10;
        frame_.Receive(msg::Make(msg::kEffectsChanged));
    }

    // Opens a file as the command line does: full path, backup on the first save.
    void OpenFromCommandLine(const QString& path)
    {
        view_->OpenDocument(path);
        settings_.backupOnSave = true;
    }
};

TEST_F(DocumentFilesTest, NewPictureIsNamedInTheDefaultFolderAndSavedAsJpeg95)
{
    QDir(folder_.path()).mkpath("recent");
    settings_.recentFiles = {"  " + folder_.filePath("recent/last.png")};
    prompter_.newPictures.push_back(
        NewPictureSettings{{320, 240}, MakeColourRef(0, 0, 255), "card"});
    ASSERT_TRUE(view_->RunCommand(cmd::kFileNew));
    const QString card = folder_.filePath("recent/card.jpg");
    EXPECT_EQ(view_->File().Path(), card);
    EXPECT_EQ(view_->windowTitle(), "card.jpg - Pixvel");
    EXPECT_EQ(Canvas().Composite().pixel(5, 5), qRgb(0, 0, 255));
    EXPECT_FALSE(document_.IsModified());

    // Unmodified: Save does nothing, not even ask.
    ASSERT_TRUE(view_->RunCommand(cmd::kFileSave));
    EXPECT_TRUE(prompter_.questions.isEmpty());
    EXPECT_FALSE(QFile::exists(card));

    Modify();
    prompter_.answers.push_back(CPrompter::kYes);
    ASSERT_TRUE(view_->RunCommand(cmd::kFileSave));
    ASSERT_EQ(prompter_.questions.size(), 1);
    EXPECT_EQ(prompter_.questions[0],
              "이미지(card.jpg)가 변경 되었습니다.\r\n\r\n'card.jpg'에 저장하려면 '예'를 "
              "다른이름으로 저장하려면 \r\n'아니오'를 선택하십시오.");
    EXPECT_EQ(Contents(card), JpegAt95(Canvas().Composite()));
    EXPECT_FALSE(document_.IsModified());
}

TEST_F(DocumentFilesTest, FirstSaveAfterTheCommandLineKeepsTheOriginal)
{
    const QString a = WritePicture("a.jpg", {64, 48});
    const QByteArray original = Contents(a);
    OpenFromCommandLine(a);
    EXPECT_EQ(view_->File().Path(), a);
    DropItem({10, 10}, view_->PictureRect().center());
    ASSERT_TRUE(view_->RunCommand(cmd::kFileSave));
    EXPECT_TRUE(prompter_.questions.isEmpty());
    EXPECT_EQ(Contents(folder_.filePath("a_원본.jpg")), original);
    EXPECT_EQ(Contents(a), JpegAt95(Canvas().Composite()));
    EXPECT_NE(Contents(a), original);
    EXPECT_FALSE(settings_.backupOnSave);

    // Later saves ask and overwrite.
    Modify();
    prompter_.answers.push_back(CPrompter::kYes);
    view_->RunCommand(cmd::kFileSave);
    EXPECT_EQ(prompter_.questions.size(), 1);
    EXPECT_EQ(Contents(folder_.filePath("a_원본.jpg")), original);
}

TEST_F(DocumentFilesTest, AnOpenThatFailsKeepsTheBackupArmed)
{
    const QString a = WritePicture("a.jpg", {64, 48});
    const QByteArray original = Contents(a);
    OpenFromCommandLine(a);
    QFile broken(folder_.filePath("broken.jpg"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    prompter_.openFiles.push_back(broken.fileName());
    view_->RunCommand(cmd::kFileOpen);
    ASSERT_EQ(view_->File().Path(), a);

    Modify();
    ASSERT_TRUE(view_->RunCommand(cmd::kFileSave));
    EXPECT_TRUE(prompter_.questions.isEmpty());
    EXPECT_EQ(Contents(folder_.filePath("a_원본.jpg")), original);

    // A picture that does replace it ends the backup.
    settings_.backupOnSave = true;
    OpenPicture({10, 10});
    EXPECT_FALSE(settings_.backupOnSave);
}

TEST_F(DocumentFilesTest, AnOlderBackupIsNeverOverwritten)
{
    const QString a = WritePicture("a.jpg", {64, 48});
    QFile older(folder_.filePath("a_원본.jpg"));
    ASSERT_TRUE(older.open(QIODevice::WriteOnly));
    older.write("older backup");
    older.close();
    OpenFromCommandLine(a);
    Modify();
    ASSERT_TRUE(view_->RunCommand(cmd::kFileSave));
    EXPECT_EQ(Contents(older.fileName()), "older backup");
    EXPECT_EQ(Contents(a), JpegAt95(Canvas().Composite()));
    EXPECT_FALSE(document_.IsModified());
}

TEST_F(DocumentFilesTest, FailedSaveLeavesTheFileAndTheChanges)
{
    // A picture whose name has no encoder: the write is refused.
    const QString picture = folder_.filePath("photo.dat");
    ASSERT_TRUE(QFile::copy(WritePicture("source.png", {40, 30}), picture));
    const QByteArray original = Contents(picture);
    OpenFromCommandLine(picture);
    ASSERT_TRUE(view_->PicturePresent());
    Modify();
    view_->RunCommand(cmd::kFileSave);
    EXPECT_EQ(Contents(picture), original);
    EXPECT_FALSE(QFile::exists(folder_.filePath("photo_원본.dat")));
    EXPECT_TRUE(document_.IsModified());
    ASSERT_EQ(refusals_.size(), 1);
    EXPECT_TRUE(refusals_[0].startsWith("이미지를 저장할 수 없습니다."));
    // The original was put back, so its copy is still kept on the next save.
    EXPECT_TRUE(settings_.backupOnSave);

    // A failed Save As leaves the document modified too.
    prompter_.saveFiles.push_back(folder_.filePath("other.xyz"));
    view_->RunCommand(cmd::kFileSaveAs);
    EXPECT_TRUE(document_.IsModified());
    EXPECT_FALSE(QFile::exists(folder_.filePath("other.xyz")));
}

TEST_F(DocumentFilesTest, NoSavesUnderAnotherNameAndCancelDoesNothing)
{
    OpenPicture({64, 48});
    Modify();
    prompter_.answers.push_back(CPrompter::kCancel);
    view_->RunCommand(cmd::kFileSave);
    EXPECT_TRUE(document_.IsModified());
    EXPECT_EQ(prompter_.proposedNames.size(), 0);

    const QString other = folder_.filePath("other.png");
    prompter_.answers.push_back(CPrompter::kNo);
    prompter_.saveFiles.push_back(other);
    view_->RunCommand(cmd::kFileSave);
    EXPECT_EQ(prompter_.proposedNames, QStringList{folder_.filePath("picture.png")});
    EXPECT_TRUE(QImageReader(other).canRead());
    EXPECT_EQ(view_->File().Path(), other);
    EXPECT_EQ(view_->windowTitle(), "other.png - Pixvel");
    EXPECT_FALSE(document_.IsModified());
}

TEST_F(DocumentFilesTest, OpenKeepsTheFullPathAndAFailedOpenKeepsThePicture)
{
    OpenPicture({64, 48});
    const QString opened = folder_.filePath("picture.png");
    EXPECT_EQ(view_->File().Path(), opened);
    EXPECT_EQ(view_->File().Name(), "picture.png");
    EXPECT_EQ(dynamic_cast<CPictureItem*>(Canvas().ItemAt(0))->SourceName(), opened);

    // Another folder visited later does not move where the picture is saved.
    const QString saved = QDir::currentPath();
    QDir(folder_.path()).mkpath("elsewhere");
    QDir::setCurrent(folder_.filePath("elsewhere"));
    DropItem({10, 10}, view_->PictureRect().center());
    prompter_.answers.push_back(CPrompter::kYes);
    view_->RunCommand(cmd::kFileSave);
    QDir::setCurrent(saved);
    EXPECT_EQ(QImage(opened).pixelColor(32, 24), QColor(Qt::red));
    EXPECT_FALSE(QFile::exists(folder_.filePath("elsewhere/picture.png")));
    EXPECT_FALSE(document_.IsModified());
    Modify();

    // The changes are dropped on purpose; the new file cannot be read.
    QFile broken(folder_.filePath("broken.jpg"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    prompter_.answers.push_back(CPrompter::kDiscard);
    prompter_.openFiles.push_back(broken.fileName());
    view_->RunCommand(cmd::kFileOpen);
    EXPECT_EQ(view_->File().Path(), opened);
    EXPECT_EQ(Canvas().BaseSize(), QSizeF(64, 48));
    EXPECT_TRUE(document_.IsModified());
}

// Before New, Open, a recent file and closing, the save question may stop
// the command: Cancel and a cancelled Save As keep the picture and its
// changes; "저장 안 함" drops them; Yes writes them first.
TEST_F(DocumentFilesTest, SaveQuestionBeforeACommandCanStopIt)
{
    EXPECT_TRUE(view_->CanClose());
    settings_.recentFiles = {folder_.filePath("recent.png")}; // new pictures go there
    OpenPicture({64, 48});
    const QString opened = view_->File().Path();
    const QString other = WritePicture("other.png", {30, 20});
    prompter_.newPictures.push_back(NewPictureSettings{{50, 50}, MakeColourRef(0, 0, 0), "n"});
    const std::vector<std::pair<const char*, std::function<bool()>>> commands = {
        {"new", [this] { return view_->RunCommand(cmd::kFileNew); }},
        {"open",
         [this, other] {
             prompter_.openFiles = {other};
             return view_->RunCommand(cmd::kFileOpen);
         }},
        {"recent",
         [this, other] {
             view_->OpenDocument(other);
             return true;
         }},
        {"close", [this] { return view_->CanClose(); }},
    };
    for (const auto& [name, run] : commands) {
        SCOPED_TRACE(name);
        Modify();
        prompter_.saveFirstQuestions.clear();
        prompter_.answers = {CPrompter::kCancel};
        run();
        // Cancelled Save As after "아니오".
        prompter_.answers = {CPrompter::kNo};
        run();
        EXPECT_EQ(prompter_.proposedNames.size(), 1u);
        prompter_.proposedNames.clear();
        EXPECT_EQ(prompter_.saveFirstQuestions,
                  QStringList(2, "이미지(picture.png)가 변경 되었습니다.\r\n\r\n'picture.png'에 "
                                 "저장하려면 '예'를 다른이름으로 저장하려면 \r\n'아니오'를 "
                                 "선택하십시오."));
        EXPECT_TRUE(document_.IsModified());
        EXPECT_EQ(view_->File().Path(), opened);
        EXPECT_EQ(Canvas().BaseSize(), QSizeF(64, 48));
    }
    EXPECT_EQ(prompter_.newPictures.size(), 1u); // the dialog never came
    EXPECT_TRUE(QImage(opened).pixelColor(0, 0) == QColor(Qt::darkCyan));

    // "저장 안 함" goes on without writing; the Save command keeps its own
    // three answers.
    prompter_.answers = {CPrompter::kDiscard};
    ASSERT_TRUE(view_->RunCommand(cmd::kFileNew));
    EXPECT_EQ(Canvas().BaseSize(), QSizeF(50, 50));
    EXPECT_FALSE(document_.IsModified());

    Modify();
    const QString path = view_->File().Path();
    prompter_.answers = {CPrompter::kYes};
    EXPECT_TRUE(view_->CanClose());
    EXPECT_TRUE(QImageReader(path).canRead());
    EXPECT_FALSE(document_.IsModified());
}

TEST(PictureFileTest, BackupNamesAndDefaultFolder)
{
    EXPECT_EQ(CPictureFile::BackupPath("/p/a.jpg"), "/p/a_원본.jpg");
    EXPECT_EQ(CPictureFile::BackupPath("/p.d/a"), "/p.d/a_원본");
    EXPECT_EQ(CPictureFile::BackupPath("C:\\p\\a.b.png"), "C:\\p\\a.b_원본.png");
    EXPECT_EQ(CPictureFile::DefaultFolder({"/p/q/last.jpg"}), "/p/q/");
    EXPECT_TRUE(CPictureFile::DefaultFolder({}).endsWith('/'));
}

} // namespace
