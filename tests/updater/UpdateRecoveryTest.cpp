// The real editor, with a change not yet kept anywhere, meets an update that
// replaces its program: it is asked to end, keeps its work, and the editor
// the updater starts again offers the work back.

#include "../transfer/TempFolder.h"
#include "CLocalHttpServer.h"
#include "CUpdater.h"
#include "Publisher.h"

#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

TEST(UpdateRecoveryTest, AnEditorStoppedByAnUpdateOffersItsWorkAfterTheRestart)
{
    TempFolder folder;
    const fs::path install = folder / "install";
    fs::create_directories(install);
    fs::copy_file(PIXVEL_EDITOR_CHILD, install / "Pixvel");
    fs::copy_file(PIXVEL_UPDATE_PROGRAM, install / "PixvelUpdate");
    QImage photo(300, 200, QImage::Format_RGB32);
    photo.fill(QColor(30, 120, 200));
    const QString picture = QString::fromStdString((folder / "photo.png").string());
    ASSERT_TRUE(photo.save(picture));

    // The new editor is the same program, so that it answers as the first;
    // the updater replaces itself too.
    const std::string program = ReadFile(PIXVEL_EDITOR_CHILD);
    const std::string updater = ReadFile(PIXVEL_UPDATE_PROGRAM) + std::string(1, '\0');
    CLocalHttpServer server;
    const CPublisher publisher;
    const std::string text =
        "VERSION:2.0\nUPDATE_DATE:2024-05-06\nUPDATE_URL:" + server.Url("/upd") +
        "\nUPDATE_PATH:Pixvel\nUPDATE_SHA256:" + CPublisher::Sha256(program) +
        "\nUPDATE_PATH:PixvelUpdate\nUPDATE_SHA256:" + CPublisher::Sha256(updater) + "\n";
    const auto answer = [](std::string body) {
        return [body](const HttpRequest&, CHttpConnection& connection) {
            connection.Respond(200, {{"Content-Type", "application/octet-stream"}}, body);
        };
    };
    server.Route("/info.txt", answer(text));
    server.Route("/info.txt.minisig", answer(publisher.Sign(text)));
    server.Route("/upd/Pixvel", answer(program));
    server.Route("/upd/PixvelUpdate", answer(updater));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PIXVEL_REGISTRY_DIR",
                       QString::fromStdString((folder / "registry").string()));
    environment.insert("XDG_STATE_HOME", QString::fromStdString((folder / "state").string()));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.remove("PIXVEL_RECOVERY_SECONDS"); // 30 s: no background write yet
    const auto setting = [&](const char* name, const std::string& value) {
        QProcess tool;
        tool.setProcessEnvironment(environment);
        tool.start(PIXVEL_TOOL,
                   {"reg", "add", "HKCU\\Software\\Pixvel", name, QString::fromStdString(value)});
        ASSERT_TRUE(tool.waitForFinished(30000));
        ASSERT_EQ(tool.exitCode(), 0);
    };
    setting("APPS_PATH", install.string());
    setting("VERSION", "1.0");
    setting("INFO_URL", server.Url("/info.txt"));
    setting("UPDATE_KEY", publisher.KeyLine());

    // The editor starts the updater itself, as it does at every start.
    QProcess editor;
    editor.setProcessEnvironment(environment);
    // Into a file, not a pipe: the restarted editor writes there after this
    // process has stopped reading.
    const QString log = QString::fromStdString((folder / "editor.log").string());
    editor.setStandardOutputFile(log, QIODevice::Append);
    editor.setStandardErrorFile(log, QIODevice::Append);
    const QString expected = QString::fromStdString((folder / "expected.png").string());
    editor.start(QString::fromStdString((install / "Pixvel").string()), {picture, expected});
    ASSERT_TRUE(editor.waitForFinished(60000)) << "the update ends the editor";
    EXPECT_EQ(editor.exitStatus(), QProcess::NormalExit) << "asked to end, not killed";
    const fs::path recovered = install / "recovered.png";
    for (int wait = 0; wait < 600 && !fs::exists(recovered); ++wait) {
        usleep(100000);
    }
    ASSERT_TRUE(fs::exists(recovered)) << ReadFile(folder / "editor.log");
    EXPECT_EQ(ReadFile(install / "asked.txt"), "저장하지 않은 작업을 복구하시겠습니까?");
    const QImage before(expected);
    const QImage after(QString::fromStdString(recovered.string()));
    ASSERT_FALSE(before.isNull());
    EXPECT_TRUE(after.convertToFormat(QImage::Format_RGB32) ==
                before.convertToFormat(QImage::Format_RGB32));
    const std::string installed = ReadFile(install / "PixvelUpdate");
    EXPECT_TRUE(installed == updater)
        << "replaced while it ran: " << installed.size() << " bytes, not " << updater.size();
}

} // namespace
