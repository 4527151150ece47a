#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// `pixvel-tool setup` in a temporary home: what it refuses, it refuses
// before anything is written.
class SetupCommandTest : public ::testing::Test
{
protected:
    int Setup(const QStringList& arguments, const QString& registry = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", home_.path());
        environment.insert("XDG_DATA_HOME", home_.filePath("data"));
        environment.insert("XDG_CONFIG_HOME", home_.filePath("config"));
        environment.remove("PIXVEL_REGISTRY_DIR");
        if (!registry.isEmpty()) {
            environment.insert("PIXVEL_REGISTRY_DIR", registry);
        }
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(PIXVEL_TOOL, QStringList{"setup"} + arguments);
        process.waitForFinished(60000);
        error_ = QString::fromUtf8(process.readAllStandardError());
        return process.exitCode();
    }

    static void Write(const QString& path, const QByteArray& bytes)
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // The settings of an installation in `apps` in the store at `root`, and
    // the installation's marker.
    void Installed(const QString& root, const QString& apps)
    {
        Write(root + "/HKEY_CURRENT_USER/software/pixvel.ini",
              "[General]\nAPPS_PATH=" + apps.toUtf8() + "\n");
        Write(apps + "/.pixvel-installation", "1.0\n");
    }

    bool HomeIsEmpty() const
    {
        return QDir(home_.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot);
    }

    QTemporaryDir home_;
    QTemporaryDir apps_;
    QString error_;
};

TEST_F(SetupCommandTest, RefusesBadInputBeforeWritingAnything)
{
    const QString url = "http://127.0.0.1:8080/pixvel/update.inf";
    EXPECT_EQ(Setup({"--apps-path", apps_.path()}), 1);
    EXPECT_TRUE(error_.contains("holds no libvelunarctrl.so")) << error_.toStdString();
    EXPECT_EQ(Setup({"--info-url", url}), 1);
    EXPECT_EQ(Setup({"--apps-path", apps_.filePath("missing"), "--info-url", url}), 1);
    EXPECT_TRUE(error_.contains("no installation folder")) << error_.toStdString();
    EXPECT_EQ(Setup({"--apps-path", apps_.path(), "--info-url", "ftp://host/update.inf"}), 1);
    EXPECT_TRUE(error_.contains("no http or https address")) << error_.toStdString();
    EXPECT_EQ(Setup({"--apps-path", apps_.path(), "--info-url", url}), 1);
    EXPECT_TRUE(error_.contains("holds no libvelunarctrl.so")) << error_.toStdString();
    EXPECT_EQ(Setup({"--remove", "--apps-path", apps_.path(), "--info-url", url}), 1);
    EXPECT_EQ(Setup({"--apps-path", apps_.path(), "--bogus"}), 1);
    EXPECT_TRUE(HomeIsEmpty());
}

TEST_F(SetupCommandTest, RefusesAnUpdateKeyThatIsNoMinisignKey)
{
    QFile module(apps_.filePath("libvelunarctrl.so"));
    ASSERT_TRUE(module.open(QIODevice::WriteOnly));
    module.close();
    QFile secret(apps_.filePath("update.key"));
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    secret.write(
        "untrusted comment: minisign encrypted secret key\nRWQAAEIyAAAAAAAAAAAAAAAAAAAA\n");
    secret.close();
    const QString url = "http://127.0.0.1:8080/pixvel/update.inf";
    EXPECT_EQ(Setup({"--apps-path", apps_.path(), "--info-url", url, "--update-key",
                     apps_.filePath("update.key")}),
              1);
    EXPECT_TRUE(error_.contains("holds no minisign public key")) << error_.toStdString();
    EXPECT_EQ(Setup({"--apps-path", apps_.path(), "--update-key", apps_.filePath("none.pub")}), 1);
    EXPECT_TRUE(error_.contains("cannot read the key file")) << error_.toStdString();
    EXPECT_EQ(Setup({"--remove", "--apps-path", apps_.path(), "--update-key",
                     apps_.filePath("update.key")}),
              1);
    EXPECT_TRUE(HomeIsEmpty());
}

TEST_F(SetupCommandTest, RemoveKeepsOtherProgramsAssociations)
{
    Installed(home_.filePath("config/pixvel/registry"), apps_.path());
    QFile associations(home_.filePath("config/mimeapps.list"));
    ASSERT_TRUE(associations.open(QIODevice::WriteOnly));
    associations.write("\n[Default Applications]\nx-scheme-handler/velunar=pixvel-velunar.desktop\n"
                       "image/png=viewer.desktop\n\n[Added Associations]\n"
                       "image/jpeg=pixvel.desktop;viewer.desktop;\n");
    associations.close();

    EXPECT_EQ(Setup({"--remove", "--apps-path", apps_.path()}), 0) << error_.toStdString();
    ASSERT_TRUE(associations.open(QIODevice::ReadOnly));
    EXPECT_EQ(associations.readAll(), "[Default Applications]\nimage/png=viewer.desktop\n\n"
                                      "[Added Associations]\nimage/jpeg=viewer.desktop;\n");
    EXPECT_FALSE(QFileInfo::exists(home_.filePath("config/pixvel")));
}

// Only the installation the settings name, and only a Pixvel installation,
// is undone: another folder changes nothing of the real one.
TEST_F(SetupCommandTest, RemoveRefusesAnyFolderButTheInstallationTheSettingsName)
{
    const QString registry = home_.filePath("config/pixvel/registry");
    const QString settings = registry + "/HKEY_CURRENT_USER/software/pixvel.ini";
    const QString entry = home_.filePath("data/applications/pixvel.desktop");
    Installed(registry, apps_.path());
    Write(entry, "[Desktop Entry]\n");
    QTemporaryDir other;
    Write(other.filePath(".pixvel-installation"), "1.0\n");
    EXPECT_EQ(Setup({"--remove", "--apps-path", other.path()}), 1);
    EXPECT_TRUE(error_.contains("not the installation the settings name")) << error_.toStdString();

    QFile::remove(apps_.filePath(".pixvel-installation"));
    EXPECT_EQ(Setup({"--remove", "--apps-path", apps_.path()}), 1);
    EXPECT_TRUE(error_.contains("holds no Pixvel installation")) << error_.toStdString();
    EXPECT_TRUE(QFileInfo::exists(settings));
    EXPECT_TRUE(QFileInfo::exists(entry));
}

// With the settings store in the home folder, the user's empty folders
// (hidden ones and those behind links too) stay; only the folders that
// removing the keys emptied go.
TEST_F(SetupCommandTest, RemoveTakesOnlyTheFoldersItEmptied)
{
    const QString home = home_.path();
    Installed(home, apps_.path());
    Write(home + "/HKEY_CURRENT_USER/software/local appwizard-generated applications/pixvel/"
                 "recent file list.ini",
          "[General]\nFile1=/a.jpg\n");
    for (const char* folder :
         {".ssh", "album", "HKEY_CURRENT_USER/software/other/empty", "elsewhere/empty"}) {
        ASSERT_TRUE(QDir(home).mkpath(folder));
    }
    ASSERT_TRUE(QFile::link(home + "/elsewhere", home + "/linked"));

    EXPECT_EQ(Setup({"--remove", "--apps-path", apps_.path()}, home), 0) << error_.toStdString();
    EXPECT_FALSE(QFileInfo::exists(home + "/HKEY_CURRENT_USER/software/pixvel.ini"));
    EXPECT_FALSE(QFileInfo::exists(home + "/HKEY_CURRENT_USER/software/local appwizard-generated "
                                          "applications"));
    for (const char* folder : {".ssh", "album", "HKEY_CURRENT_USER/software/other/empty",
                               "elsewhere/empty", "linked/empty"}) {
        EXPECT_TRUE(QFileInfo(home + "/" + folder).isDir()) << folder;
    }
}

} // namespace
