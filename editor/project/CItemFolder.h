#pragma once

#include <QString>
#include <QStringList>

#include <array>

// The installed item library on disk: the categories (the immediate
// subfolders of the items folder) and the item files of one category.
// Entries come in the folder's own order (the order the file system reads
// them, which stays the same while the folder is unchanged); nothing is
// sorted and subfolders of a category are not searched.
class CItemFolder
{
public:
    // The item file extensions (the 31 of the first item packages, then
    // "webp"); a file's extension must be written exactly so (case-sensitive).
    static const std::array<const char*, 32> kExtensions;
    // The label of a text item in the used-items list.
    static const QString kTextItem;

    // Names of the subfolders of `itemsFolder` ("." and ".." left out); empty
    // when the folder is missing or cannot be read.
    static QStringList Categories(const QString& itemsFolder);

    // Full paths of the item files of one category folder: regular files
    // (and symbolic links, which the thumbnail maker checks before opening)
    // whose name has one of the extensions. Empty when the folder is missing
    // or cannot be read.
    static QStringList ItemFiles(const QString& folder);

    // True when the file name's extension (the text after its last ".", when
    // that dot is not the first character) is an item file extension.
    static bool IsItemFileName(const QString& name);

    // The text of a list row: the file name without folder, cut before its
    // last "." when that dot is past the first character; a text without a
    // folder separator ("문자열") stays whole.
    static QString RowName(const QString& path);
};
