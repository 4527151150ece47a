// Projects through the file commands: Save Project, Open of a project, Save
// on a project, and a refused project that changes nothing.

#include "CPictureItem.h"
#include "CProjectReader.h"
#include "CommandIds.h"
#include "EditorViewTesting.h"

#include <QFile>

namespace {

class ProjectCommandsTest : public EditorViewTest
{
protected:
    // A picture with one sticker whose colours were changed.
    void Decorate()
    {
        OpenPicture(QSize(300, 200));
        DropItem(QSize(40, 30), view_->PictureRect().center());
        Canvas().ItemAt(1)->Effects().hue = 90;
        frame_.Receive(msg::Make(msg::kEffectsChanged));
    }

    QString ProjectPath() const { return folder_.filePath("work.pixvel"); }
};

TEST_F(ProjectCommandsTest, SavedProjectOpensAgainWithItsItems)
{
    Decorate();
    const QImage decorated = Canvas().Render().copy();
    prompter_.saveFiles.push_back(ProjectPath());
    ASSERT_TRUE(view_->RunCommand(cmd::kFileSaveProject));
    // The picture's own name is proposed, with the project extension.
    EXPECT_EQ(prompter_.proposedNames.value(0), folder_.filePath("picture.pixvel"));
    EXPECT_TRUE(QFile::exists(ProjectPath()));
    EXPECT_FALSE(document_.IsModified());
    EXPECT_EQ(view_->windowTitle(), "work.pixvel - Pixvel");

    prompter_.newPictures.push_back(NewPictureSettings{{50, 50}, 0, "blank"});
    ASSERT_TRUE(view_->RunCommand(cmd::kFileNew));
    ASSERT_EQ(Canvas().Count(), 1);

    prompter_.openFiles.push_back(ProjectPath());
    ASSERT_TRUE(view_->RunCommand(cmd::kFileOpen));
    ASSERT_EQ(Canvas().Count(), 2);
    EXPECT_TRUE(Canvas().Composite() == decorated);
    EXPECT_EQ(Canvas().ItemAt(1)->Effects().hue, 90);
    EXPECT_FALSE(document_.IsModified());
    EXPECT_EQ(view_->File().Path(), ProjectPath());
    EXPECT_EQ(view_->windowTitle(), "work.pixvel - Pixvel");
    EXPECT_EQ(view_->SelectedIndex(), 0);
    EXPECT_TRUE(refusals_.isEmpty());
}

TEST_F(ProjectCommandsTest, ExportWritesALayeredCopyAndLeavesThePictureAsItWas)
{
    Decorate();
    const QString ora = folder_.filePath("layers.ora");
    prompter_.saveFiles.push_back(ora);
    ASSERT_TRUE(view_->RunCommand(cmd::kFileExportOra));
    EXPECT_EQ(prompter_.proposedNames.value(0), folder_.filePath("picture.ora"));
    QFile file(ora);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    // The first entry, stored: its name and then the type other editors
    // look for at a fixed place.
    const QByteArray head = file.read(54);
    EXPECT_EQ(head.mid(30, 8), "mimetype");
    EXPECT_EQ(head.mid(38, 16), "image/openraster");
    // Still the picture's file, with its changes unsaved.
    EXPECT_EQ(view_->File().Path(), folder_.filePath("picture.png"));
    EXPECT_TRUE(document_.IsModified());

    // A folder that cannot be written is refused with a message.
    prompter_.saveFiles.push_back(folder_.filePath("missing/layers.ora"));
    ASSERT_TRUE(view_->RunCommand(cmd::kFileExportOra));
    ASSERT_EQ(refusals_.size(), 1);
    EXPECT_TRUE(refusals_.front().startsWith("OpenRaster 파일을 저장할 수 없습니다."));
}

TEST_F(ProjectCommandsTest, HistoryStartsWithTheOpenedProjectAndFollowsItsSaves)
{
    Decorate();
    prompter_.saveFiles.push_back(ProjectPath());
    ASSERT_TRUE(view_->RunCommand(cmd::kFileSaveProject));
    view_->OpenDocument(ProjectPath());
    // The project's items are where the history starts: nothing to undo.
    EXPECT_FALSE(view_->CommandStatus(cmd::kUndo).value_or(CommandState{}).enabled);
    ASSERT_EQ(Canvas().Count(), 2);

    Canvas().ItemAt(0)->Effects().hue = 45;
    frame_.Receive(msg::Make(msg::kEffectsChanged));
    prompter_.answers.push_back(CPrompter::kYes); // save over the project
    ASSERT_TRUE(view_->RunCommand(cmd::kFileSave));
    ASSERT_FALSE(document_.IsModified());
    // Undo leaves the saved state; redo comes back to it.
    ASSERT_TRUE(view_->RunCommand(cmd::kUndo));
    EXPECT_TRUE(document_.IsModified());
    EXPECT_EQ(Canvas().Count(), 2);
    ASSERT_TRUE(view_->RunCommand(cmd::kRedo));
    EXPECT_FALSE(document_.IsModified());
}

TEST_F(ProjectCommandsTest, SaveOnAProjectSavesTheProjectWithoutABackup)
{
    Decorate();
    prompter_.saveFiles.push_back(ProjectPath());
    ASSERT_TRUE(view_->RunCommand(cmd::kFileSaveProject));
    // Opened from the command line: the first save keeps no "_원본" copy of a
    // project, and the project stays a project.
    view_->OpenDocument(ProjectPath());
    settings_.backupOnSave = true;
    Canvas().ItemAt(1)->TranslateOutline(25, 10);
    // The base picture is the current item after opening: its effect change
    // is the edit the panels report.
    Canvas().ItemAt(0)->Effects().hue = 45;
    frame_.Receive(msg::Make(msg::kEffectsChanged));
    ASSERT_TRUE(document_.IsModified());
    ASSERT_TRUE(view_->RunCommand(cmd::kFileSave));
    EXPECT_FALSE(document_.IsModified());
    EXPECT_FALSE(QFile::exists(folder_.filePath("work_원본.pixvel")));
    const std::optional<ProjectContent> saved = CProjectReader::Read(ProjectPath(), nullptr);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->items[1]->Outline().boundingRect(), ItemBounds(1));
}

TEST_F(ProjectCommandsTest, RefusedProjectChangesNothingAndSaysWhy)
{
    Decorate();
    const QString before = view_->windowTitle();
    const QString bad = folder_.filePath("bad.pixvel");
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("PK\x03\x04 this is no project");
    file.close();
    prompter_.answers.push_back(CPrompter::kDiscard);
    prompter_.openFiles.push_back(bad);
    ASSERT_TRUE(view_->RunCommand(cmd::kFileOpen));
    ASSERT_EQ(refusals_.size(), 1);
    EXPECT_TRUE(refusals_[0].startsWith("프로젝트를 열 수 없습니다."));
    EXPECT_TRUE(refusals_[0].contains(bad));
    EXPECT_EQ(Canvas().Count(), 2);
    EXPECT_EQ(view_->windowTitle(), before);
    EXPECT_EQ(view_->File().Path(), folder_.filePath("picture.png"));
}

} // namespace
