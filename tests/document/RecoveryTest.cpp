// Recovery of unsaved work: the background writes, their removal, and a
// killed editor's work offered at the next start.

#include "CEditorApp.h"
#include "CMainFrame.h"
#include "CPictureItem.h"
#include "CProjectReader.h"
#include "CProjectWriter.h"
#include "CRecoveryFile.h"
#include "CommandIds.h"
#include "EditorViewTesting.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// Every editor of this test program keeps its recovery work in a folder of
// its own, never in the user's.
class StateFolder : public testing::Environment
{
public:
    void SetUp() override { qputenv("XDG_STATE_HOME", QFile::encodeName(folder_.path())); }

private:
    QTemporaryDir folder_;
};

[[maybe_unused]] testing::Environment* const kState =
    testing::AddGlobalTestEnvironment(new StateFolder);

// Sets an environment variable for the life of the object.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const QByteArray& value) : name_(name), old_(qgetenv(name))
    {
        had_ = qEnvironmentVariableIsSet(name);
        qputenv(name, value);
    }
    ~ScopedEnv() { had_ ? qputenv(name_, old_) : qunsetenv(name_); }

private:
    const char* name_;
    QByteArray old_;
    bool had_ = false;
};

class RecoveryTest : public EditorViewTest
{
protected:
    RecoveryTest() { QFile::remove(CRecoveryFile::Path()); }

    std::optional<ProjectContent> ReadRecovery() const
    {
        return CProjectReader::Read(CRecoveryFile::Path(), nullptr);
    }

    ScopedEnv interval_{"PIXVEL_RECOVERY_SECONDS", "0.2"};
};

TEST_F(RecoveryTest, UnsavedWorkIsWrittenAfterAChangeAndRemovedOnSave)
{
    CRecoveryFile recovery(document_, Canvas(), [this] { return view_->File().Path(); });
    ASSERT_TRUE(recovery.Acquire());
    // A second editor keeps out of the folder the first one holds.
    COMRImageEditorDoc otherDocument;
    CRecoveryFile other(otherDocument, Canvas(), [] { return QString(); });
    EXPECT_FALSE(other.Acquire());

    OpenPicture(QSize(300, 200));
    QTest::qWait(400);
    EXPECT_FALSE(recovery.Exists()); // nothing unsaved yet
    DropItem(QSize(40, 30), view_->PictureRect().center());
    ASSERT_TRUE(document_.IsModified());
    ASSERT_TRUE(QTest::qWaitFor([&recovery] { return recovery.Exists(); }, 5000));
    recovery.WaitForWrites();

    std::optional<ProjectContent> saved = ReadRecovery();
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->items.size(), 2u);
    EXPECT_EQ(saved->documentPath, view_->File().Path());
    CItemCanvas reread;
    saved->MoveInto(reread);
    EXPECT_TRUE(reread.Composite() == Canvas().Render());

    // Saved: the recovery project goes at once.
    prompter_.answers.push_back(CPrompter::kYes);
    ASSERT_TRUE(view_->RunCommand(cmd::kFileSave));
    EXPECT_FALSE(document_.IsModified());
    EXPECT_FALSE(recovery.Exists());
}

TEST_F(RecoveryTest, RecoveredWorkOpensModifiedOnItsOwnFile)
{
    OpenPicture(QSize(120, 90));
    DropItem(QSize(20, 20), view_->PictureRect().center());
    const QImage before = Canvas().Render().copy();
    ProjectContent content = ProjectContent::Snapshot(Canvas());
    content.documentPath = folder_.filePath("picture.png");
    const QString path = folder_.filePath("recovered.pixvel");
    ASSERT_TRUE(CProjectWriter::Save(content, path, nullptr));

    prompter_.newPictures.push_back(NewPictureSettings{{50, 50}, 0, "blank"});
    prompter_.answers.push_back(CPrompter::kDiscard);
    ASSERT_TRUE(view_->RunCommand(cmd::kFileNew));
    ASSERT_EQ(Canvas().Count(), 1);

    ASSERT_TRUE(view_->Files().OpenRecovered(path));
    EXPECT_TRUE(document_.IsModified());
    EXPECT_EQ(view_->File().Path(), folder_.filePath("picture.png"));
    EXPECT_EQ(view_->windowTitle(), "picture.png - Pixvel");
    EXPECT_EQ(Canvas().Count(), 2);
    EXPECT_TRUE(Canvas().Composite() == before);
}

// The editor as a user runs it, killed while editing; the next start offers
// the work back.
class KilledEditorTest : public WidgetTest
{
protected:
    KilledEditorTest()
    {
        QDir(root_.path()).mkpath("bin");
        QFile updater(root_.filePath("bin/PixvelUpdate"));
        EXPECT_TRUE(updater.open(QIODevice::WriteOnly));
        updater.write("#!/bin/sh\nexit 0\n");
        updater.close();
        updater.setPermissions(updater.permissions() | QFile::ExeOwner);
        QImage photo(300, 200, QImage::Format_RGB32);
        photo.fill(QColor(30, 120, 200));
        photo.save(Photo());
    }

    QString Photo() const { return root_.filePath("photo.png"); }

    // Starts the editor in a process of its own, placing a sticker on the
    // photo; true once it has done so.
    bool StartEditing(QProcess& editor) const
    {
        editor.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        editor.start(QStringLiteral(PIXVEL_RECOVERY_CHILD), {Photo(), Expected()});
        const bool placed = editor.waitForStarted(10000) &&
                            QTest::qWaitFor([this] { return QFile::exists(Expected()); }, 20000);
        EXPECT_TRUE(placed) << editor.readAllStandardError().toStdString();
        return placed;
    }
    QString Expected() const { return root_.filePath("expected.png"); }

    // Starts the editor in the test's environment and answers the recovery
    // question; the question asked, or empty.
    QString StartAnswering(CEditorApp& app, QMessageBox::StandardButton answer)
    {
        QString asked;
        QTimer watcher;
        QObject::connect(&watcher, &QTimer::timeout, [&asked, answer] {
            QWidget* top = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(top)) {
                asked = box->text();
                box->button(answer)->click();
            } else if (auto* dialog = qobject_cast<QDialog*>(top)) {
                dialog->accept(); // the open-size dialog: the picture's own size
            }
        });
        watcher.start(5);
        EXPECT_TRUE(app.InitInstance());
        return asked;
    }

    QTemporaryDir root_;
    ScopedEnv state_{"XDG_STATE_HOME", QFile::encodeName(root_.filePath("state"))};
    ScopedEnv registry_{"PIXVEL_REGISTRY_DIR", QFile::encodeName(root_.filePath("registry"))};
    ScopedEnv path_{"PATH", QFile::encodeName(root_.filePath("bin")) + ":" + qgetenv("PATH")};
    ScopedEnv interval_{"PIXVEL_RECOVERY_SECONDS", "0.3"};
};

TEST_F(KilledEditorTest, KilledWhileEditingOffersTheWorkAtTheNextStart)
{
    QProcess editor;
    ASSERT_TRUE(StartEditing(editor));
    // The work reaches the recovery folder in the background; then the
    // editor dies without a chance to clean up.
    ASSERT_TRUE(QTest::qWaitFor([] { return QFile::exists(CRecoveryFile::Path()); }, 20000));
    editor.kill();
    ASSERT_TRUE(editor.waitForFinished(10000));
    EXPECT_EQ(editor.exitStatus(), QProcess::CrashExit);

    {
        CEditorApp app({});
        EXPECT_EQ(StartAnswering(app, QMessageBox::Yes), "저장하지 않은 작업을 복구하시겠습니까?");
        const QImage expected(Expected());
        EXPECT_TRUE(CItemCanvas::Instance().Composite().convertToFormat(QImage::Format_RGB32) ==
                    expected.convertToFormat(QImage::Format_RGB32));
        EXPECT_EQ(CItemCanvas::Instance().Count(), 2);
        EXPECT_EQ(app.MainFrame()->windowTitle(), "photo.png - Pixvel");
        // Still there until the work is saved or dropped...
        EXPECT_TRUE(QFile::exists(CRecoveryFile::Path()));
        // ...or the editor ends cleanly.
        app.ExitInstance();
        EXPECT_FALSE(QFile::exists(CRecoveryFile::Path()));
    }
    // Nothing left to offer.
    CEditorApp again({});
    EXPECT_EQ(StartAnswering(again, QMessageBox::No), QString());
}

TEST_F(KilledEditorTest, AskedToEndTheEditorKeepsItsWorkAtOnce)
{
    ScopedEnv later{"PIXVEL_RECOVERY_SECONDS", "30"}; // no background write yet
    QProcess editor;
    ASSERT_TRUE(StartEditing(editor));
    ASSERT_FALSE(QFile::exists(CRecoveryFile::Path()));
    editor.terminate(); // SIGTERM, as a log-out or the updater asks
    ASSERT_TRUE(editor.waitForFinished(10000));
    EXPECT_EQ(editor.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(editor.exitCode(), 0);
    ASSERT_TRUE(QFile::exists(CRecoveryFile::Path()));

    CEditorApp app({});
    EXPECT_EQ(StartAnswering(app, QMessageBox::Yes), "저장하지 않은 작업을 복구하시겠습니까?");
    EXPECT_TRUE(CItemCanvas::Instance().Composite().convertToFormat(QImage::Format_RGB32) ==
                QImage(Expected()).convertToFormat(QImage::Format_RGB32));
    app.ExitInstance();
}

TEST_F(KilledEditorTest, DecliningTheOfferDeletesTheWork)
{
    QDir().mkpath(CRecoveryFile::Folder());
    ProjectContent content;
    content.baseSize = QSizeF(10, 10);
    auto base = std::make_unique<CPictureItem>();
    QImage pixels(10, 10, QImage::Format_RGB32);
    pixels.fill(Qt::red);
    base->SetBitmap(pixels);
    base->SetRect(QRectF(0, 0, 10, 10));
    content.items.push_back(std::move(base));
    ASSERT_TRUE(CProjectWriter::Save(content, CRecoveryFile::Path(), nullptr));

    CEditorApp app({Photo()});
    EXPECT_EQ(StartAnswering(app, QMessageBox::No), "저장하지 않은 작업을 복구하시겠습니까?");
    EXPECT_FALSE(QFile::exists(CRecoveryFile::Path()));
    // The picture of the command line stays.
    EXPECT_EQ(app.MainFrame()->windowTitle(), "photo.png - Pixvel");
}

} // namespace
