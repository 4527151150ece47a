#pragma once

#include "../transfer/TempFolder.h"
#include "CRegistry.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <vector>

// The key the tests give the launcher, under HKEY_CURRENT_USER.
inline const QString kTestKey = "Software\\PixvelTest";

// The widget application the tests share, made by the first that needs it.
inline void EnsureApplication()
{
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "webctrl_tests";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
}

// One message as the receiver stand-in recorded it.
struct ReceivedMessage
{
    qint64 atMs = 0;
    uint32_t dataWord = 0;
    QByteArray bytes;
};

// A temporary registry, installation folder and runtime folder (where
// window titles live) for one test, set in this process's environment and so
// inherited by the programs it starts. Stand-ins still running at the end
// are ended.
class CTestInstallation
{
public:
    CTestInstallation()
    {
        QDir().mkpath(Install());
        QDir().mkpath(Runtime());
        QFile::setPermissions(Runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        Set("PIXVEL_REGISTRY_DIR", Registry());
        Set("XDG_RUNTIME_DIR", Runtime());
        SetValue(kTestKey, "APPS_PATH", Install());
    }
    ~CTestInstallation()
    {
        for (const QString& line : Started()) {
            kill(line.section(' ', 0, 0).toInt(), SIGTERM);
        }
        for (const auto& [name, value] : saved_) {
            value.isNull() ? qunsetenv(name) : qputenv(name, value);
        }
    }

    QString Root() const { return QString::fromStdString(folder_.Path().string()); }
    QString Registry() const { return Root() + "/registry"; }
    QString Install() const { return Root() + "/install"; }
    QString Runtime() const { return Root() + "/run"; }

    static void SetValue(const QString& key, const QString& name, const QString& data)
    {
        ASSERT_TRUE(platform::CRegistry::Write("HKEY_CURRENT_USER\\" + key, name, data));
    }
    // The receiver stand-in under `name` in the installation folder.
    void LinkStandIn(const QString& name = "PixvelDownloader") const
    {
        ASSERT_TRUE(QDir().mkpath(QFileInfo(Install() + "/" + name).path()));
        ASSERT_TRUE(QFile::link(PIXVEL_RECEIVER_STANDIN, Install() + "/" + name));
    }
    // "PID ARGUMENT-COUNT FIRST-ARGUMENT" for each start of the stand-in.
    QStringList Started() const { return Lines("started.txt"); }
    std::vector<ReceivedMessage> Received() const
    {
        std::vector<ReceivedMessage> messages;
        for (const QString& line : Lines("received.txt")) {
            const QStringList fields = line.split(' ');
            messages.push_back({fields.value(0).toLongLong(), fields.value(1).toUInt(),
                                QByteArray::fromHex(fields.value(2).toLatin1())});
        }
        return messages;
    }

private:
    void Set(const char* name, const QString& value)
    {
        saved_.emplace_back(name, qgetenv(name));
        qputenv(name, QFile::encodeName(value));
    }
    QStringList Lines(const QString& name) const
    {
        QFile file(Install() + "/" + name);
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    TempFolder folder_;
    std::vector<std::pair<const char*, QByteArray>> saved_;
};
