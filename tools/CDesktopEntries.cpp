#include "CDesktopEntries.h"

#include "CToolError.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

constexpr int kXdgMimeTimeoutMs = 30000;

void WriteFile(const QString& path, const QString& text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit()) {
        throw CToolError(QString("cannot write %1").arg(path));
    }
}

void RunXdgMime(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdg-mime"), arguments);
    if (!process.waitForStarted()) {
        throw CToolError("cannot run xdg-mime: install the xdg-utils package");
    }
    if (!process.waitForFinished(kXdgMimeTimeoutMs) ||
        process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        throw CToolError(
            QString("xdg-mime %1 failed: %2")
                .arg(arguments.join(' '),
                     QString::fromLocal8Bit(process.readAllStandardError()).trimmed()));
    }
}

// The places where xdg-mime and desktops keep the user's associations.
QStringList AssociationFiles()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return {QDir(config).filePath("mimeapps.list"),
            QDir(CDesktopEntries::ApplicationsFolder()).filePath("mimeapps.list")};
}

} // namespace

QString CDesktopEntries::ApplicationsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
}

QString CDesktopEntries::QuoteExecArgument(const QString& argument)
{
    // A plain path stays unquoted: simple launchers (xdg-open without a
    // desktop) split Exec at blanks and take quotes literally.
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    const bool plain = std::none_of(argument.begin(), argument.end(),
                                    [](QChar c) { return reserved.contains(c); });
    if (plain) {
        return QString(argument).replace('%', QStringLiteral("%%"));
    }
    QString quoted;
    for (const QChar c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    // The entry's string escapes come on top of Exec's own quoting, and a
    // percent sign would be read as a field code.
    quoted.replace('\\', QStringLiteral("\\\\"));
    quoted.replace('%', QStringLiteral("%%"));
    return '"' + quoted + '"';
}

namespace {

// An application entry: the common head, the program and its icon in the
// installation folder, then the entry's own lines.
QString Entry(const QString& appsPath, const QString& program, const QString& arguments,
              const QString& lines)
{
    const QDir apps(appsPath);
    return QStringLiteral("[Desktop Entry]\nType=Application\nExec=%1 %2\nIcon=%3\n"
                          "Terminal=false\n")
               .arg(CDesktopEntries::QuoteExecArgument(apps.filePath(program)), arguments,
                    apps.filePath("pixvel.svg")) +
           lines;
}

} // namespace

QString CDesktopEntries::EditorEntry(const QString& appsPath)
{
    return Entry(appsPath, "Pixvel", "%f",
                 QStringLiteral("Name=Pixvel\n"
                                "Name[ko]=픽스벨\n"
                                "GenericName=Photo decorating editor\n"
                                "GenericName[ko]=사진 꾸미기 편집기\n"
                                "Comment=Decorate photos with stickers, text and effects\n"
                                "Comment[ko]=사진에 스티커, 글자, 효과를 더해 꾸밉니다\n"
                                "Path=%1\n"
                                "Categories=Graphics;2DGraphics;RasterGraphics;\n"
                                "MimeType=image/jpeg;image/png;image/bmp;image/gif;image/tiff;"
                                "image/webp;image/heic;image/heif;image/avif;\n")
                     .arg(QDir(appsPath).absolutePath()));
}

QString CDesktopEntries::HandlerEntry(const QString& appsPath)
{
    return Entry(appsPath, "VelunarHost", "--url %u",
                 QStringLiteral("Name=Pixvel item downloads\n"
                                "Name[ko]=픽스벨 아이템 내려받기\n"
                                "Comment=Hands download links of the item shop to "
                                "PixvelDownloader\n"
                                "NoDisplay=true\n"
                                "MimeType=%1;\n")
                     .arg(kHandlerType));
}

QStringList CDesktopEntries::Install(const QString& appsPath)
{
    const QDir folder(ApplicationsFolder());
    if (!folder.mkpath(".")) {
        throw CToolError(QString("cannot make %1").arg(folder.path()));
    }
    const QString editor = folder.filePath(kEditorEntry);
    const QString handler = folder.filePath(kHandlerEntry);
    WriteFile(editor, EditorEntry(appsPath));
    WriteFile(handler, HandlerEntry(appsPath));
    RunXdgMime({"default", kHandlerEntry, kHandlerType});
    return {editor, handler};
}

QStringList CDesktopEntries::Remove()
{
    QStringList changed;
    const QDir folder(ApplicationsFolder());
    for (const char* entry : {kEditorEntry, kHandlerEntry}) {
        if (QFile::remove(folder.filePath(entry))) {
            changed.append(folder.filePath(entry));
        }
    }
    for (const QString& path : AssociationFiles()) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        const QString text = QString::fromUtf8(file.readAll());
        file.close();
        QString rest = text;
        for (const char* entry : {kEditorEntry, kHandlerEntry}) {
            rest = WithoutAssociations(rest, entry);
        }
        if (rest == text) {
            continue;
        }
        if (rest.trimmed().isEmpty()) {
            QFile::remove(path);
        } else {
            WriteFile(path, rest);
        }
        changed.append(path);
    }
    return changed;
}

QString CDesktopEntries::WithoutAssociations(const QString& text, const QString& entry)
{
    QStringList kept;
    qsizetype sectionStart = -1; // index in `kept` of the current section's header
    bool sectionHasValues = false;
    const auto closeSection = [&] {
        if (sectionStart >= 0 && !sectionHasValues) {
            kept.erase(kept.begin() + sectionStart, kept.end());
        }
    };
    for (const QString& line : text.split('\n')) {
        if (line.startsWith('[')) {
            closeSection();
            sectionStart = kept.size();
            sectionHasValues = false;
            kept.append(line);
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals < 0) {
            kept.append(line);
            continue;
        }
        QStringList values = line.mid(equals + 1).split(';', Qt::SkipEmptyParts);
        values.removeAll(entry);
        if (!values.isEmpty()) {
            kept.append(line.left(equals + 1) + values.join(';') + (line.endsWith(';') ? ";" : ""));
            sectionHasValues = true;
        }
    }
    closeSection();
    while (!kept.isEmpty() && kept.last().isEmpty()) {
        kept.removeLast();
    }
    while (!kept.isEmpty() && kept.first().isEmpty()) {
        kept.removeFirst();
    }
    return kept.isEmpty() ? QString() : kept.join('\n') + '\n';
}
