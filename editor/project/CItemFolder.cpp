#include "CItemFolder.h"

#include <QFile>

#include <dirent.h>
#include <sys/stat.h>

#include <functional>

const std::array<const char*, 32> CItemFolder::kExtensions = {
    "art", "bmp", "dib",  "gif", "ief", "jpe", "jpeg", "jpg",  "mac",  "pbm",  "pct",
    "pgm", "pic", "pict", "png", "pnm", "pnt", "ppm",  "psd",  "qti",  "qtif", "ras",
    "rgb", "tif", "tiff", "xbm", "xpm", "xwd", "svg",  "svgz", "wbmp", "webp"};

const QString CItemFolder::kTextItem = QStringLiteral("문자열");

namespace {

// What an entry of a folder is, without following a symbolic link.
enum class EntryKind
{
    Folder,
    File, // a regular file or a symbolic link
    Other,
};

EntryKind KindOf(const QByteArray& folder, const dirent& entry)
{
    unsigned char type = entry.d_type;
    if (type == DT_UNKNOWN) {
        struct stat info
        {
        };
        if (lstat((folder + '/' + entry.d_name).constData(), &info) != 0) {
            return EntryKind::Other;
        }
        type = S_ISDIR(info.st_mode)   ? DT_DIR
               : S_ISREG(info.st_mode) ? DT_REG
               : S_ISLNK(info.st_mode) ? DT_LNK
                                       : DT_UNKNOWN;
    }
    if (type == DT_DIR) {
        return EntryKind::Folder;
    }
    return type == DT_REG || type == DT_LNK ? EntryKind::File : EntryKind::Other;
}

// Calls `take` with the name and kind of every entry of a folder but "."
// and "..", in the folder's own order.
void ForEachEntry(const QString& folder, const std::function<void(const QString&, EntryKind)>& take)
{
    const QByteArray encoded = QFile::encodeName(folder);
    DIR* dir = opendir(encoded.constData());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..") {
            take(QFile::decodeName(name), KindOf(encoded, *entry));
        }
    }
    closedir(dir);
}

// A symbolic link to a folder counts as a category, as the file manager
// shows it.
bool IsLinkToFolder(const QString& path)
{
    struct stat info
    {
    };
    return stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

QString Joined(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

} // namespace

QStringList CItemFolder::Categories(const QString& itemsFolder)
{
    QStringList names;
    ForEachEntry(itemsFolder, [&](const QString& name, EntryKind kind) {
        if (kind == EntryKind::Folder ||
            (kind == EntryKind::File && IsLinkToFolder(Joined(itemsFolder, name)))) {
            names.append(name);
        }
    });
    return names;
}

QStringList CItemFolder::ItemFiles(const QString& folder)
{
    QStringList paths;
    ForEachEntry(folder, [&](const QString& name, EntryKind kind) {
        if (kind == EntryKind::File && IsItemFileName(name)) {
            paths.append(Joined(folder, name));
        }
    });
    return paths;
}

bool CItemFolder::IsItemFileName(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0) {
        return false;
    }
    const QStringView extension = QStringView(name).mid(dot + 1);
    for (const char* known : kExtensions) {
        if (extension == QLatin1String(known)) {
            return true;
        }
    }
    return false;
}

QString CItemFolder::RowName(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) {
        return path;
    }
    const QString name = path.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}
