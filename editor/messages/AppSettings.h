#pragma once

#include <QString>
#include <QStringList>

// The process-wide strings filled at start-up, and the backup-on-save flag
// that a picture handed over on the command line arms until its first save
// that goes through.
struct AppSettings
{
    QString title = QStringLiteral("Pixvel");
    QString installFolder;      // APPS_PATH
    QString installedVersion;   // VERSION
    QString infoUrl;            // INFO_URL
    QString commandLinePicture; // the whole command line, when not empty
    bool backupOnSave = false;
    QStringList recentFiles; // newest first, at most four
};
