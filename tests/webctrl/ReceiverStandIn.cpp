// Stands in for the downloader in the launcher's tests. Started with a key
// path under HKEY_CURRENT_USER (as the launcher starts the downloader), it
// appends "PID ARGUMENT-COUNT FIRST-ARGUMENT" to started.txt in the key's
// APPS_PATH, listens on the window title "PixvelDownloader" and appends
// each message to received.txt there as "MS-SINCE-EPOCH DATA-WORD HEX-BYTES".
// It ends after 60 s.

#include "CRegistry.h"
#include "CWindowLink.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTimer>

#include <unistd.h>

namespace {

void Append(const QString& path, const QString& line)
{
    QFile file(path);
    if (file.open(QIODevice::Append)) {
        file.write(line.toUtf8() + "\n");
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments().mid(1);
    const QString key = arguments.value(0);
    const QString folder = platform::CRegistry::Read("HKEY_CURRENT_USER\\" + key, "APPS_PATH");
    Append(folder + "/started.txt",
           QString("%1 %2 %3").arg(getpid()).arg(arguments.size()).arg(key));
    platform::CWindowLink link;
    const bool listening =
        link.Listen("PixvelDownloader", [&folder](uint32_t word, const QByteArray& bytes) {
            Append(folder + "/received.txt", QString("%1 %2 %3")
                                                 .arg(QDateTime::currentMSecsSinceEpoch())
                                                 .arg(word)
                                                 .arg(QString::fromLatin1(bytes.toHex())));
            return 0L;
        });
    if (!listening) {
        return 1;
    }
    QTimer::singleShot(60000, &application, &QCoreApplication::quit);
    return application.exec();
}
