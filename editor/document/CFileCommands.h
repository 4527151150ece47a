#pragma once

#include "AppSettings.h"
#include "CPictureFile.h"
#include "ProjectContent.h"

#include <QImage>
#include <QString>

class COMRImageEditorDoc;
class CPrompter;
class QWidget;

// What the file commands need of the editing surface: a parent for the
// dialogs, and the surface shows a new picture or forgets what it copied.
class CPictureSurface
{
public:
    virtual ~CPictureSurface() = default;

    virtual QWidget* DialogParent() = 0;
    // Starts editing `bitmap` as the base picture; `sourceName` is its file.
    virtual void ShowPicture(QImage bitmap, const QString& sourceName) = 0;
    // Starts editing a project: its base picture and every item on it.
    virtual void ShowProject(ProjectContent project) = 0;
    // A picture is about to load: the copied item and the paste point go.
    virtual void ForgetCopy() = 0;
    // The picture was written: what is on screen is now the saved state.
    virtual void PictureSaved() {}
};

// The file commands of the document: New, Open, Save, Save As and Save
// Project, the save
// question before a command that would drop the changes, the document's load
// and save hints, and the "_원본" copy kept of a picture handed over on the
// command line. The picture itself is the item canvas's composite.
class CFileCommands
{
public:
    CFileCommands(COMRImageEditorDoc& document, AppSettings& settings, CPrompter& prompter,
                  CPictureSurface& surface);
    ~CFileCommands();

    // Runs New, Open, Save, Save As or Save Project; false for any other
    // command. A path ending in .pixvel is a project wherever a path is
    // opened or written: Save on a project saves the project, and the
    // "_원본" copy is kept of pictures only.
    bool Run(int id);
    // Opens the picture at `path` (the command line, the recent-file list)
    // once the changes are saved or dropped.
    void OpenDocument(const QString& path);
    // Saves or drops the changes as the user answers; false when the user
    // cancelled or the changes could not be written.
    bool SaveFirst();
    // The document's update hints.
    void OnUpdate(int hint, const QString& path);
    // Opens a recovery project as unsaved work on the file it names (or a new
    // project in the default folder); false when it cannot be read.
    bool OpenRecovered(const QString& recoveryPath);

    const CPictureFile& File() const { return file_; }
    // The current file's folder and name with another suffix.
    QString ProposedName(const QString& suffix) const;

private:
    void FileNew();
    void FileOpen();
    void FileSave();
    bool FileSaveAs();
    void FileSaveProject();
    void FileExportOra();
    bool SaveAs(const QString& path);
    bool WriteToPath(const QString& path);
    // Save to the picture's own file; a picture of a type that is only read
    // (HEIC, AVIF) goes to Save As instead.
    bool SaveToCurrent();
    bool WriteProject(const QString& path);
    // After a successful write: the backup is done, the picture is unmodified
    // and the undo history marks this state as saved.
    bool Saved();
    void LoadPicture(const QString& path);
    std::optional<ProjectContent> ReadProject(const QString& path);
    // Takes over a loaded file: path, recent list, title, modified flag.
    void TakeOver(const QString& path, bool modified = false);
    void ShowTitle(const QString& name);
    QString SaveQuestion() const;

    COMRImageEditorDoc& document_;
    AppSettings& settings_;
    CPrompter& prompter_;
    CPictureSurface& surface_;
    CPictureFile file_;
};
