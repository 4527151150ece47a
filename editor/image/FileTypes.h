#pragma once

#include <QString>
#include <QStringList>

// The picture types offered by every open, save, insert and append dialog.
namespace FileTypes {

// The filter in the bar-separated form "label|patterns|...||".
extern const char* const kImageFilter;
// The default-extension argument: only its first three characters are added
// to a name typed without an extension ("BMP").
extern const char* const kDefaultExtension;

// The filter converted for QFileDialog ("모든이미지 (*.JPG *.jpg ...)", ...):
// every type the editor reads, for the open, insert and append dialogs.
QStringList DialogFilters();
// The same for the save dialog, with only the types an encoder writes
// (HEIC, HEIF and AVIF are read-only).
QStringList SaveDialogFilters();

// True when the path names a type the editor reads but never writes (HEIC,
// HEIF, AVIF).
bool IsReadOnly(const QString& path);

// Appends the default extension the way the standard dialog does: a name
// without an extension gets "." and the first three characters.
QString WithDefaultExtension(const QString& fileName);

} // namespace FileTypes
