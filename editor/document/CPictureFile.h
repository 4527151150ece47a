#pragma once

#include "Status.h"

#include <QImage>
#include <QString>
#include <QStringList>

// The file the picture was opened from and is saved to, and the rules of
// writing it: the encoder by extension at JPEG quality 95, and the "_원본"
// copy kept of a picture handed over on the command line.
class CPictureFile
{
public:
    const QString& Path() const { return path_; }
    const QString& Name() const { return name_; }
    // Stores the full path and its file-name part.
    void SetPath(const QString& path);
    void SetPathAndName(const QString& path, const QString& name);

    // The path with "_원본" at the end of the file name, before its extension.
    static QString BackupPath(const QString& path);
    // The folder new pictures go to: that of the most recent file, else the
    // documents folder; ends with a separator.
    static QString DefaultFolder(const QStringList& recentFiles);

    // Writes the picture to the path. With `backup`, an existing file is
    // first renamed to its backup name, unless a backup is already there; a
    // failed write puts the renamed file back, so the disk stays as it was.
    static Status Write(const QImage& picture, const QString& path, bool backup);

private:
    QString path_;
    QString name_;
};
