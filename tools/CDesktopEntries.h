#pragma once

#include <QString>
#include <QStringList>

// The desktop entries of an installation in the user's applications folder:
// the editor, shown in menus and offered for pictures, and the hidden
// handler of velunar: addresses, made the default for that scheme. Every
// path in them is absolute, so nothing depends on PATH.
class CDesktopEntries
{
public:
    static constexpr const char* kEditorEntry = "pixvel.desktop";
    static constexpr const char* kHandlerEntry = "pixvel-velunar.desktop";
    static constexpr const char* kHandlerType = "x-scheme-handler/velunar";

    // $XDG_DATA_HOME/applications.
    static QString ApplicationsFolder();

    static QString EditorEntry(const QString& appsPath);
    static QString HandlerEntry(const QString& appsPath);
    // One Exec argument, quoted as desktop entries require when it holds a
    // reserved character.
    static QString QuoteExecArgument(const QString& argument);

    // Writes both entries and makes the handler the scheme's default through
    // xdg-mime. Returns the files written; throws CToolError on a failure.
    static QStringList Install(const QString& appsPath);
    // Removes both entries and every association that names them; returns
    // the files removed or changed.
    static QStringList Remove();
    // A mimeapps.list text without the associations naming `entry`;
    // sections left empty go too.
    static QString WithoutAssociations(const QString& text, const QString& entry);
};
