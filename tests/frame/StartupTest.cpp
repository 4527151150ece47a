#include "CEditorApp.h"
#include "CImageToolBar.h"
#include "CItemBar.h"
#include "CMainFrame.h"
#include "COMRImageEditorView.h"
#include "COpenSizeDialog.h"
#include "CRegistry.h"
#include "DialogTesting.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A registry of its own, and a stand-in updater that writes its arguments
// and working folder to a file.
class StartupTest : public WidgetTest
{
protected:
    StartupTest()
    {
        savedPath_ = qgetenv("PATH");
        qputenv("PIXVEL_REGISTRY_DIR", QFile::encodeName(root_.filePath("registry")));
        QDir(root_.path()).mkpath("install");
        QDir(root_.path()).mkpath("bin");
        WriteUpdater(root_.filePath("install/PixvelUpdate"));
        WriteUpdater(root_.filePath("bin/PixvelUpdate"));
        qputenv("PATH", QFile::encodeName(root_.filePath("bin")) + ":" + savedPath_);
    }
    ~StartupTest() override
    {
        qputenv("PATH", savedPath_);
        qunsetenv("PIXVEL_REGISTRY_DIR");
    }

    void WriteUpdater(const QString& path)
    {
        QFile script(path);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(
            QStringLiteral("#!/bin/sh\nexec 2>/dev/null\n"
                           "{ pwd; printf '%s\\n' \"$#\"; printf '[%s]\\n' \"$@\"; } > %1.tmp\n"
                           "mv %1.tmp %1\n")
                .arg(Record())
                .toUtf8());
        script.close();
        script.setPermissions(script.permissions() | QFile::ExeOwner);
    }

    QString Record() const { return root_.filePath("updater.txt"); }

    // The stand-in's record: working folder, argument count, then each
    // argument in brackets.
    QStringList UpdaterRecord() const
    {
        QFile file(Record());
        const bool written = QTest::qWaitFor([&file] { return file.exists(); }, 5000);
        if (!written || !file.open(QIODevice::ReadOnly)) {
            return {};
        }
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir root_;
    QByteArray savedPath_;
};

TEST_F(StartupTest, WithoutRegistryKeyTheUpdaterStillStarts)
{
    CEditorApp app({});
    ASSERT_TRUE(app.InitInstance());
    EXPECT_TRUE(app.MainFrame()->isVisible());
    EXPECT_FALSE(app.Settings().backupOnSave);
    // Every start shows the bars at their default sizes.
    QApplication::processEvents();
    EXPECT_EQ(app.MainFrame()->ItemBar()->height(), 130);
    EXPECT_EQ(app.MainFrame()->ImageToolBar()->width(), 220);
    const QStringList record = UpdaterRecord();
    ASSERT_EQ(record.size(), 6);
    EXPECT_EQ(record.mid(1), (QStringList{"4", "[]", "[Pixvel]", "[]", "[]"}));
}

TEST_F(StartupTest, SettingsAndCommandLinePictureReachTheUpdaterAndTheView)
{
    const QString install = root_.filePath("install");
    const QString key = CEditorApp::kSettingsKey;
    platform::CRegistry::Write(key, "APPS_PATH", install);
    platform::CRegistry::Write(key, "VERSION", "1.4.0.0");
    platform::CRegistry::Write(key, "INFO_URL", "http://127.0.0.1:9/pixvel/update.inf");
    const QString picture = root_.filePath("my photo.png");
    QImage(8, 6, QImage::Format_RGB32).save(picture);

    // An unquoted path with a blank arrives as two arguments and is joined.
    // The picture is opened at its own size.
    auto watcher = WhenOpen<COpenSizeDialog>([](COpenSizeDialog* dialog) { dialog->accept(); });
    CEditorApp app(picture.split(' '));
    ASSERT_TRUE(app.InitInstance());
    EXPECT_TRUE(app.Settings().backupOnSave);
    EXPECT_EQ(app.Settings().commandLinePicture, picture);
    auto* view = dynamic_cast<COMRImageEditorView*>(app.MainFrame()->View());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->File().Path(), picture);
    EXPECT_EQ(view->PictureRect().size(), QSize(8, 6));
    EXPECT_EQ(app.MainFrame()->windowTitle(), "my photo.png - Pixvel");
    EXPECT_EQ(app.Settings().recentFiles, QStringList{picture});

    const QStringList record = UpdaterRecord();
    ASSERT_EQ(record.size(), 6);
    EXPECT_EQ(QDir(record[0]).canonicalPath(), QDir(install).canonicalPath());
    EXPECT_EQ(record.mid(1), (QStringList{"4", "[" + install + "]", "[Pixvel]",
                                          "[http://127.0.0.1:9/pixvel/update.inf]", "[1.4.0.0]"}));
}

TEST_F(StartupTest, RecentFilesOutliveTheRun)
{
    {
        CEditorApp app({});
        app.InitInstance();
        app.MainFrame()->AddRecentFile("/p/one.jpg");
        app.MainFrame()->AddRecentFile("/p/two.jpg");
        app.ExitInstance();
    }
    EXPECT_EQ(platform::CRegistry::Read(CEditorApp::kRecentFilesKey, "File1"), "/p/two.jpg");
    CEditorApp again({});
    again.InitInstance();
    EXPECT_EQ(again.Settings().recentFiles, (QStringList{"/p/two.jpg", "/p/one.jpg"}));
}

} // namespace
