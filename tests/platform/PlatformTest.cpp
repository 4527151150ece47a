#include "../transfer/TempFolder.h"
#include "CPackagedInstallation.h"
#include "CProcesses.h"
#include "CRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using platform::CProcesses;
using platform::CRegistry;

namespace {

class RegistryTest : public ::testing::Test
{
protected:
    RegistryTest() { setenv("PIXVEL_REGISTRY_DIR", folder_.Path().c_str(), 1); }

    TempFolder folder_;
};

TEST_F(RegistryTest, KeysAreFilesWithCaseInsensitivePaths)
{
    const QString root = QString::fromStdString(folder_.Path().string());
    EXPECT_EQ(CRegistry::KeyFile("HKEY_CURRENT_USER\\Software\\Pixvel"),
              root + "/HKEY_CURRENT_USER/software/pixvel.ini");
    EXPECT_EQ(CRegistry::KeyFile("HKCU\\SOFTWARE\\pixvel"),
              root + "/HKEY_CURRENT_USER/software/pixvel.ini");
    EXPECT_EQ(CRegistry::KeyFile("HKCR\\CLSID\\{AB}"), root + "/HKEY_CLASSES_ROOT/clsid/{ab}.ini");

    EXPECT_EQ(CRegistry::Read("HKCU\\Software\\Pixvel", "VERSION"), "");
    ASSERT_TRUE(CRegistry::Write("HKCU\\Software\\Pixvel", "VERSION", "1.5.0.0"));
    EXPECT_EQ(CRegistry::Read("HKEY_CURRENT_USER\\Software\\pixvel", "version"), "1.5.0.0");
    ASSERT_TRUE(CRegistry::Write("HKCU\\Software\\PIXVEL", "Version", "1.6"));
    EXPECT_EQ(CRegistry::ValueNames("HKCU\\Software\\Pixvel"), QStringList{"VERSION"});
    EXPECT_EQ(CRegistry::Read("HKCU\\Software\\Pixvel", "VERSION"), "1.6");

    // Written as QSettings writes INI files: the [General] section.
    QSettings file(CRegistry::KeyFile("HKCU\\Software\\Pixvel"), QSettings::IniFormat);
    EXPECT_EQ(file.value("VERSION").toString(), "1.6");
    EXPECT_TRUE(ReadFile(CRegistry::KeyFile("HKCU\\Software\\Pixvel").toStdString())
                    .starts_with("[General]"));

    // A name QSettings would take for a group is refused, not stored out of sight.
    for (const char* name : {"a/b", "a\\b", ""}) {
        EXPECT_FALSE(CRegistry::Write("HKCU\\Software\\Pixvel", name, "x")) << name;
    }
    EXPECT_EQ(CRegistry::ValueNames("HKCU\\Software\\Pixvel"), QStringList{"VERSION"});

    EXPECT_TRUE(CRegistry::DeleteValue("HKCU\\Software\\Pixvel", "version"));
    EXPECT_FALSE(CRegistry::DeleteValue("HKCU\\Software\\Pixvel", "version"));
    EXPECT_TRUE(CRegistry::DeleteKey("HKCU\\Software\\Pixvel"));
    EXPECT_FALSE(CRegistry::KeyExists("HKCU\\Software\\Pixvel"));
}

// Settings are made only for a packaged installation (the mark beside its
// programs) and only when the user has none; a missing module is told about
// and the settings are made all the same.
TEST_F(RegistryTest, OnlyAPackagedFolderSetsUpAUserWithoutSettings)
{
    using platform::CPackagedInstallation;
    const QString root = QString::fromStdString(folder_.Path().string());
    const QByteArray savedDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(root + "/data"));
    const QString key = CPackagedInstallation::kSettingsKey;

    ASSERT_TRUE(QDir().mkpath(root + "/plain"));
    EXPECT_FALSE(CPackagedInstallation::IsPackaged(root + "/plain"));
    EXPECT_FALSE(CPackagedInstallation::IsPackaged(""));
    EXPECT_FALSE(CPackagedInstallation::SetUpUser(root + "/plain"));
    EXPECT_FALSE(CRegistry::KeyExists(key));

    const QString packaged = root + "/packaged";
    ASSERT_TRUE(QDir().mkpath(packaged));
    QFile(packaged + "/" + CPackagedInstallation::kMarkFile).open(QIODevice::WriteOnly);
    EXPECT_TRUE(CPackagedInstallation::IsPackaged(packaged));
    EXPECT_TRUE(CPackagedInstallation::SetUpUser(packaged));
    const QString items = root + "/data/pixvel/items";
    EXPECT_EQ(CPackagedInstallation::UserItemsFolder(), items);
    EXPECT_TRUE(QFileInfo(items).isDir());
    EXPECT_EQ(CRegistry::Read(key, "APPS_PATH"), packaged);
    EXPECT_EQ(CRegistry::Read(key, "DOWNLOAD_FOLDER"), items);
    EXPECT_EQ(CRegistry::ValueNames(key), (QStringList{"APPS_PATH", "DOWNLOAD_FOLDER"}))
        << "no INFO_URL: the package manager updates the installation";

    CRegistry::Write(key, "APPS_PATH", root + "/mine");
    EXPECT_FALSE(CPackagedInstallation::SetUpUser(packaged)) << "the user's settings stay";
    EXPECT_EQ(CRegistry::Read(key, "APPS_PATH"), root + "/mine");
    savedDataHome.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", savedDataHome);
}

TEST_F(RegistryTest, KeysThatLeaveTheirHiveAreRefusedForEveryCaller)
{
    for (const char* bad : {"", "HKCU", "Software\\Pixvel", "HKCU\\..\\..\\etc", "HKCU\\a\\.\\b",
                            "HKCU\\Software\\..\\..\\..\\x", "HKCU\\\\Software", "HKCU\\Software\\",
                            "HKCU\\Software\\\\Pixvel", "\\HKCU\\Software", "/etc/passwd",
                            "HKCU//tmp/x", "HKCU/../../x"}) {
        EXPECT_TRUE(CRegistry::KeyFile(bad).isEmpty()) << bad;
        EXPECT_FALSE(CRegistry::Write(bad, "A", "x")) << bad;
        EXPECT_EQ(CRegistry::Read(bad, "A"), "") << bad;
        EXPECT_FALSE(CRegistry::KeyExists(bad)) << bad;
    }
    // Nothing was written anywhere, inside the root or beside it.
    EXPECT_TRUE(fs::is_empty(folder_.Path()));
    EXPECT_FALSE(fs::exists(folder_.Path().parent_path() / "x.ini"));
}

TEST_F(RegistryTest, HandWrittenLinesNeitherBreakReadsNorWrites)
{
    const QString key = "HKCU\\Software\\Pixvel";
    WriteFile(CRegistry::KeyFile(key).toStdString(),
              "[General]\nAPPS_PATH=/opt/pixvel\nthis line has no equals sign\n"
              "INFO_URL=http://a/b?x=1,2\nVERSION=1.0\n");
    EXPECT_EQ(CRegistry::Read(key, "INFO_URL"), "http://a/b?x=1,2");
    EXPECT_EQ(CRegistry::Read(key, "APPS_PATH"), "/opt/pixvel");

    EXPECT_TRUE(CRegistry::Write(key, "VERSION", "2.0"));
    EXPECT_EQ(CRegistry::Read(key, "VERSION"), "2.0");
    EXPECT_EQ(CRegistry::Read(key, "APPS_PATH"), "/opt/pixvel");
    EXPECT_EQ(CRegistry::Read(key, "INFO_URL"), "http://a/b?x=1,2");
    EXPECT_TRUE(CRegistry::Write(key, "LIST", "a,b"));
    EXPECT_EQ(CRegistry::Read(key, "LIST"), "a,b");
    EXPECT_TRUE(CRegistry::DeleteValue(key, "LIST"));
    EXPECT_EQ(CRegistry::ValueNames(key), (QStringList{"APPS_PATH", "INFO_URL", "VERSION"}));
}

TEST_F(RegistryTest, LongValuesReadAsEmptyWhereALimitIsGiven)
{
    const QString fits(1023, 'a');
    const QString tooLong(1024, 'a');
    CRegistry::Write("HKCU\\Software\\Pixvel", "FITS", fits);
    CRegistry::Write("HKCU\\Software\\Pixvel", "LONG", tooLong);
    EXPECT_EQ(CRegistry::Read("HKCU\\Software\\Pixvel", "FITS", 1024), fits);
    EXPECT_EQ(CRegistry::Read("HKCU\\Software\\Pixvel", "LONG", 1024), "");
    EXPECT_EQ(CRegistry::Read("HKCU\\Software\\Pixvel", "LONG"), tooLong);
}

TEST_F(RegistryTest, ReadersInOtherProcessesNeverSeeAHalfWrittenKey)
{
    const QString key = "HKCU\\Software\\Pixvel";
    const QString big(20000, 'x');
    CRegistry::Write(key, "A", big);
    std::vector<pid_t> writers;
    for (int writer = 0; writer < 2; ++writer) {
        const pid_t pid = fork();
        if (pid == 0) {
            for (int round = 0; round < 100; ++round) {
                CRegistry::Write(key, "A", QString(20000, QChar('x' + writer)));
                CRegistry::Write(key, QString("W%1").arg(writer), QString::number(round));
            }
            _exit(0);
        }
        writers.push_back(pid);
    }
    int torn = 0;
    for (int read = 0; read < 300; ++read) {
        const QString value = CRegistry::Read(key, "A");
        if (value.size() != 20000 || value.count(value.front()) != 20000) {
            ++torn;
        }
    }
    for (pid_t pid : writers) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(CRegistry::Read(key, "W0"), "99");
    EXPECT_EQ(CRegistry::Read(key, "W1"), "99");
}

// Starts `program` (a copy of sleep) as a child for 30 seconds.
pid_t StartSleeper(const fs::path& program)
{
    const pid_t child = fork();
    if (child == 0) {
        execl(program.c_str(), program.c_str(), "30", nullptr);
        _exit(127);
    }
    return child;
}

TEST(ProcessesTest, StopsOnlyTheInstalledProgramNotANamesake)
{
    TempFolder folder;
    const std::string name = "pixvel-namesake-" + std::to_string(getpid());
    fs::create_directories(folder / "install");
    fs::create_directories(folder / "elsewhere");
    fs::copy_file("/bin/sleep", folder / "install" / name);
    fs::copy_file("/bin/sleep", folder / "elsewhere" / name);
    const pid_t installed = StartSleeper(folder / "install" / name);
    const pid_t namesake = StartSleeper(folder / "elsewhere" / name);
    const QString program = QString::fromStdString((folder / "install" / name).string());
    usleep(100000); // both have replaced their images by now
    EXPECT_EQ(CProcesses::StopProgram(program), 1);
    EXPECT_NE(kill(installed, 0), 0); // ended and reaped
    EXPECT_EQ(kill(namesake, 0), 0);  // still running
    EXPECT_EQ(CProcesses::StopProgram(program), 0);
    EXPECT_EQ(CProcesses::StopProgram(program + ".missing"), 0);
    kill(namesake, SIGKILL);
    waitpid(namesake, nullptr, 0);
}

TEST(ProcessesTest, AsksFirstAndKillsOnlyWhatDoesNotEnd)
{
    TempFolder folder;
    const std::string name = "pixvel-asked-" + std::to_string(getpid());
    fs::copy_file("/bin/sh", folder / name);
    const std::string program = (folder / name).string();
    const std::string ended = (folder / "ended").string();
    // One shell ends on SIGTERM after noting it, one ignores SIGTERM.
    const auto start = [&](const std::string& script) {
        const pid_t child = fork();
        if (child == 0) {
            execl(program.c_str(), program.c_str(), "-c", script.c_str(), nullptr);
            _exit(127);
        }
        return child;
    };
    const pid_t polite =
        start("trap 'echo $$ >> " + ended + "; exit 0' TERM; while :; do sleep 0.05; done");
    const pid_t stubborn = start("trap '' TERM; while :; do sleep 0.05; done");
    usleep(200000); // both have set their traps
    EXPECT_EQ(CProcesses::StopProgram(QString::fromStdString(program), 500), 2);
    EXPECT_NE(kill(polite, 0), 0);
    EXPECT_NE(kill(stubborn, 0), 0);
    EXPECT_EQ(ReadFile(folder / "ended"), std::to_string(polite) + "\n");
}

TEST(ProcessesTest, FindsAndEndsAProcessByItsProgramName)
{
    TempFolder folder;
    const std::string name = "pixvel-sleeper-" + std::to_string(getpid());
    fs::copy_file("/bin/sleep", folder / name);
    const pid_t child = StartSleeper(folder / name);
    std::vector<platform::ProcessEntry> found;
    for (int wait = 0; wait < 1000 && found.empty(); ++wait) {
        usleep(5000);
        for (const auto& process : CProcesses::Snapshot()) {
            if (process.executableName == QString::fromStdString(name)) {
                found.push_back(process);
            }
        }
    }
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].pid, child);
    EXPECT_TRUE(CProcesses::Terminate(child));
    EXPECT_NE(kill(child, 0), 0); // reaped: gone altogether

    const auto self = CProcesses::Snapshot();
    EXPECT_TRUE(std::none_of(self.begin(), self.end(),
                             [](const auto& process) { return process.pid == getpid(); }));
    EXPECT_FALSE(CProcesses::Terminate(getpid()));
    EXPECT_EQ(platform::ExecutableName("Pixvel"), "Pixvel");
}

} // namespace
