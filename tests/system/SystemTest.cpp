#include "CCategoryTabStrip.h"
#include "CItemBar.h"
#include "CItemFolder.h"
#include "CItemLibraryPanel.h"
#include "ItemLibraryTesting.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr int kLongWaitMs = 60000;
const QString kSource = QStringLiteral(PIXVEL_SOURCE_DIR);
const QString kSettingsKey = QStringLiteral("HKCU\\Software\\Pixvel");

struct ProgramRun
{
    int exitCode = -1;
    QString output;
    QString error;
};

ProgramRun RunProgram(const QString& program, const QStringList& arguments, int timeoutMs = 300000)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {-1, {}, QStringLiteral("%1 did not finish").arg(program)};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A temporary home with its XDG folders and no desktop environment, the item
// service on 127.0.0.1, and Pixvel installed and set up by scripts/install.
class SystemTest : public WidgetTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home_.isValid());
        const QDir home(home_.path());
        const std::pair<const char*, const char*> folders[] = {{"HOME", "."},
                                                               {"XDG_DATA_HOME", ".local/share"},
                                                               {"XDG_CONFIG_HOME", ".config"},
                                                               {"XDG_CACHE_HOME", ".cache"},
                                                               {"XDG_RUNTIME_DIR", "run"}};
        for (const auto& [name, path] : folders) {
            ASSERT_TRUE(home.mkpath(path));
            qputenv(name, QFile::encodeName(home.absoluteFilePath(path)));
        }
        QFile::setPermissions(home.absoluteFilePath("run"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
        qputenv("XDG_CONFIG_DIRS", "/etc/xdg");
        qputenv("PIXVEL_BUILD_DIR", PIXVEL_BUILD_DIR);
        qputenv("PIXVEL_SKIP_BUILD", "1"); // the test's own dependencies built it
        // xdg-open without a desktop asks xdg-mime for a scheme's handler only
        // when it sees a display; the programs themselves run offscreen.
        qputenv("WAYLAND_DISPLAY", "pixvel-test-no-display");
        for (const char* name : {"PIXVEL_REGISTRY_DIR", "DISPLAY", "BROWSER", "XDG_CURRENT_DESKTOP",
                                 "XDG_SESSION_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                                 "GNOME_DESKTOP_SESSION_ID"}) {
            qunsetenv(name);
        }
        apps_ = home.absoluteFilePath(".local/share/pixvel");
        StartService();
        const ProgramRun install = Install();
        ASSERT_EQ(install.exitCode, 0) << install.error.toStdString();
    }

    void TearDown() override
    {
        for (const auto& process : started_) {
            process->kill();
            process->waitForFinished();
        }
        service_.kill();
        service_.waitForFinished();
    }

    void StartService()
    {
        service_.start("python3", {kSource + "/service/serve.py", PIXVEL_SERVICE_SITE});
        ASSERT_TRUE(service_.waitForReadyRead(30000));
        serviceUrl_ = QString::fromUtf8(service_.readLine()).trimmed();
        ASSERT_TRUE(serviceUrl_.startsWith("http://127.0.0.1:"));
    }

    ProgramRun Install() const
    {
        return RunProgram(kSource + "/scripts/install",
                          {"--prefix", apps_, "--info-url", serviceUrl_ + "/pixvel/update.inf"});
    }

    QString Tool() const { return apps_ + "/pixvel-tool"; }

    QString Setting(const QString& name) const
    {
        return RunProgram(Tool(), {"reg", "query", kSettingsKey, name}).output.trimmed();
    }

    QString DefaultFor(const QString& type) const
    {
        return RunProgram("xdg-mime", {"query", "default", type}).output.trimmed();
    }

    QString Home(const QString& path) const { return QDir(home_.path()).filePath(path); }

    // Starts a program in a process namespace of its own, so that the
    // updater, which stops every editor of the user, sees only this test's,
    // and so that whatever it starts ends with the test.
    void StartIsolated(const QString& program, const QStringList& arguments)
    {
        auto process = std::make_unique<QProcess>();
        process->start("unshare",
                       QStringList{"--pid", "--fork", "--mount-proc", "--kill-child", "sh", "-c",
                                   "\"$0\" \"$@\" & exec sleep 600", program} +
                           arguments);
        ASSERT_TRUE(process->waitForStarted());
        started_.push_back(std::move(process));
    }

    static bool CanIsolate()
    {
        return RunProgram("unshare", {"--pid", "--fork", "--mount-proc", "true"}, 10000).exitCode ==
               0;
    }

    QTemporaryDir home_;
    QString apps_;
    QProcess service_;
    QString serviceUrl_;
    std::vector<std::unique_ptr<QProcess>> started_;
};

TEST_F(SystemTest, InstallSetsUpTheDesktopAndUninstallLeavesNothing)
{
    for (const char* file : {"Pixvel", "PixvelUpdate", "PixvelDownloader", "VelunarHost",
                             "libvelunarctrl.so", "pixvel-tool", "pixvel.svg", "text.bmp"}) {
        EXPECT_TRUE(QFile::exists(apps_ + "/" + file)) << file;
    }
    EXPECT_FALSE(CItemFolder::Categories(apps_ + "/items").isEmpty());
    EXPECT_EQ(Setting("APPS_PATH"), apps_);
    EXPECT_EQ(Setting("DOWNLOAD_FOLDER"), "items");
    EXPECT_EQ(Setting("INFO_URL"), serviceUrl_ + "/pixvel/update.inf");
    // The service's public key, never its secret one.
    const QByteArray publicKey = FileBytes(PIXVEL_SERVICE_KEYS "/update.pub");
    EXPECT_EQ(Setting("UPDATE_KEY").toUtf8(), publicKey.split('\n').value(1));
    EXPECT_FALSE(
        QDirIterator(apps_, {"*.key"}, QDir::Files, QDirIterator::Subdirectories).hasNext());
    EXPECT_EQ(Setting("VERSION"), "1.5.0.0");
    EXPECT_FALSE(QDir(Home(".config/pixvel/registry/HKEY_CLASSES_ROOT")).isEmpty())
        << "the launcher module registered its classes";
    EXPECT_EQ(DefaultFor("x-scheme-handler/velunar"), "pixvel-velunar.desktop");
    const QString applications = Home(".local/share/applications/");
    for (const char* entry : {"pixvel.desktop", "pixvel-velunar.desktop"}) {
        const ProgramRun check = RunProgram("desktop-file-validate", {applications + entry});
        EXPECT_EQ(check.exitCode, 0) << entry << check.output.toStdString();
    }
    EXPECT_TRUE(FileBytes(applications + "pixvel-velunar.desktop")
                    .contains(QFile::encodeName("Exec=" + apps_ + "/VelunarHost --url %u")));

    const ProgramRun again = Install();
    EXPECT_EQ(again.exitCode, 0) << again.error.toStdString();
    EXPECT_EQ(DefaultFor("x-scheme-handler/velunar"), "pixvel-velunar.desktop");

    // The user's pictures are no part of it, and no folder of theirs is
    // taken for an installation.
    QDir(home_.path()).mkpath("Pictures");
    QFile photo(Home("Pictures/photo.jpg"));
    ASSERT_TRUE(photo.open(QIODevice::WriteOnly));
    photo.close();
    EXPECT_EQ(RunProgram(kSource + "/scripts/install", {"--prefix", Home("Pictures")}).exitCode, 1);
    QDir(home_.path()).mkpath("Album");
    EXPECT_EQ(RunProgram(kSource + "/scripts/install", {"--prefix", Home("Album")}).exitCode, 1);
    EXPECT_TRUE(
        QDir(Home("Album")).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_EQ(RunProgram(kSource + "/scripts/uninstall", {"--prefix", Home("Pictures")}).exitCode,
              1);

    // Another program's association stays.
    QFile associations(Home(".config/mimeapps.list"));
    ASSERT_TRUE(associations.open(QIODevice::Append));
    associations.write("[Added Associations]\nimage/png=other.desktop;pixvel.desktop;\n");
    associations.close();

    const ProgramRun uninstall = RunProgram(kSource + "/scripts/uninstall", {});
    ASSERT_EQ(uninstall.exitCode, 0) << uninstall.error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(apps_));
    EXPECT_FALSE(QFileInfo::exists(Home(".config/pixvel")));
    EXPECT_TRUE(QDir(applications).entryList(QDir::Files).filter("pixvel").isEmpty());
    EXPECT_EQ(FileBytes(Home(".config/mimeapps.list")),
              "[Added Associations]\nimage/png=other.desktop;\n");
    EXPECT_EQ(DefaultFor("x-scheme-handler/velunar"), "");
    EXPECT_TRUE(QFile::exists(Home("Pictures/photo.jpg")));

    // Without an address no update is looked for anywhere.
    ASSERT_EQ(RunProgram(kSource + "/scripts/install", {"--prefix", apps_}).exitCode, 0);
    EXPECT_EQ(Setting("APPS_PATH"), apps_);
    EXPECT_EQ(Setting("INFO_URL"), "");
    EXPECT_EQ(Setting("UPDATE_KEY"), "");
    EXPECT_EQ(RunProgram(kSource + "/scripts/uninstall", {}).exitCode, 0);
}

TEST_F(SystemTest, AShopLinkBringsItsCategoryIntoTheRunningItemLibrary)
{
    if (!CanIsolate()) {
        GTEST_SKIP() << "unshare cannot make a process namespace here";
    }
    const ProgramRun page = RunProgram(Tool(), {"fetch", serviceUrl_ + "/pixvel/item_mall.html"});
    const auto link = QRegularExpression("href=\"(velunar:download\\?[^\"]+)\"").match(page.output);
    ASSERT_TRUE(link.hasMatch()) << page.output.toStdString();
    const QString address = link.captured(1).replace("&amp;", "&");
    ASSERT_TRUE(address.contains("sparkles.zip"));

    CMessageLog log;
    CItemBar bar(&log, apps_);
    CCategoryTabStrip* strip = bar.Library()->TabStrip();
    const auto shows = [strip](const QString& caption) {
        for (int tab = 0; tab < strip->Count(); ++tab) {
            if (strip->Caption(tab) == caption) {
                return true;
            }
        }
        return false;
    };
    ASSERT_FALSE(shows("반짝이"));

    StartIsolated("xdg-open", {address});
    EXPECT_TRUE(QTest::qWaitFor([&] { return shows("반짝이"); }, kLongWaitMs))
        << "xdg-open → VelunarHost → PixvelDownloader → items folder → item library";
    EXPECT_EQ(CItemFolder::ItemFiles(apps_ + "/items/반짝이").size(), 7);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return !QFile::exists(apps_ + "/items/sparkles.zip"); }, kLongWaitMs))
        << "the package is deleted once unpacked";
}

TEST_F(SystemTest, AnOlderVersionIsUpdatedFromTheServiceAndTheEditorRestarts)
{
    if (!CanIsolate()) {
        GTEST_SKIP() << "unshare cannot make a process namespace here";
    }
    const QString editor = apps_ + "/Pixvel";
    const QByteArray published = FileBytes(apps_ + "/text.bmp");
    ASSERT_FALSE(published.isEmpty());
    QFile old(apps_ + "/text.bmp");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older picture");
    old.close();
    ASSERT_EQ(RunProgram(Tool(), {"reg", "add", kSettingsKey, "VERSION", "1.4.0.0"}).exitCode, 0);

    StartIsolated(editor, {});
    EXPECT_TRUE(QTest::qWaitFor([&] { return Setting("VERSION") == "1.5.0.0"; }, kLongWaitMs));
    EXPECT_EQ(Setting("UPDATE_DATE"), "2026-12-07");
    EXPECT_EQ(FileBytes(apps_ + "/text.bmp"), published);
    // The first editor was stopped before the download: a running one is the
    // restarted editor.
    const auto editorRuns = [&editor] {
        QDirIterator processes("/proc", QDir::Dirs | QDir::NoDotAndDotDot);
        while (processes.hasNext()) {
            if (QFile::symLinkTarget(processes.next() + "/exe") == editor) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(QTest::qWaitFor(editorRuns, kLongWaitMs));
}

} // namespace
