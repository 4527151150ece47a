#include "CPictureFile.h"

#include "CImageEncoders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

void CPictureFile::SetPath(const QString& path)
{
    SetPathAndName(path, QFileInfo(path).fileName());
}

void CPictureFile::SetPathAndName(const QString& path, const QString& name)
{
    path_ = path;
    name_ = name;
}

QString CPictureFile::BackupPath(const QString& path)
{
    // Only a dot in the file name starts an extension, never one in a folder.
    const qsizetype nameStart = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\')) + 1;
    const qsizetype dot = path.lastIndexOf('.');
    const qsizetype at = dot > nameStart ? dot : path.size();
    return path.left(at) + QStringLiteral("_원본") + path.mid(at);
}

QString CPictureFile::DefaultFolder(const QStringList& recentFiles)
{
    const QString recent = recentFiles.isEmpty() ? QString() : recentFiles.front().trimmed();
    QString folder;
    if (!recent.isEmpty()) {
        folder = recent.left(std::max(recent.lastIndexOf('/'), recent.lastIndexOf('\\')) + 1);
    }
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    }
    if (!folder.endsWith('/') && !folder.endsWith('\\')) {
        folder += QDir::separator();
    }
    return folder;
}

Status CPictureFile::Write(const QImage& picture, const QString& path, bool backup)
{
    const QString backupPath = BackupPath(path);
    // QFile::rename never replaces an existing file, so an older backup stays.
    const bool renamed = backup && QFile::rename(path, backupPath);
    EncoderChoice choice = CImageEncoders::ChooseEncoder(path);
    choice.jpegQuality = kDocumentJpegQuality;
    const Status status = CImageEncoders::Save(picture, path, choice);
    if (Failed(status) && renamed) {
        QFile::rename(backupPath, path);
    }
    return status;
}
