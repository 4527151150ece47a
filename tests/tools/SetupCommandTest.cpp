#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// `pixvel-tool setup` in a temporary home: what it refuses, it refuses
// before anything is written.
class SetupCommandTest : public ::testing::Test
{
protected:
    int Setup(const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", home_.path());
        environment.insert("XDG_DATA_HOME", home_.filePath("data"));
        environment.insert("XDG_CONFIG_HOME", home_.filePath("config"));
        environment.remove("PIXVEL_REGISTRY_DIR");
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(PIXVEL_TOOL, QStringList{"setup"} + arguments);
        process.waitForFinished(60000);
        error_ = QString::fromUtf8(process.readAllStandardError());
        return process.exitCode();
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
    ASSERT_TRUE(QDir(home_.path()).mkpath("config/pixvel/registry/HKEY_CURRENT_USER/software"));
    QFile settings(home_.filePath("config/pixvel/registry/HKEY_CURRENT_USER/software/pixvel.ini"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[General]\nAPPS_PATH=/nowhere\n");
    settings.close();
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

} // namespace
