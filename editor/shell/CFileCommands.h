#pragma once

#include "AppSettings.h"
#include "CPictureFile.h"

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
    // A picture is about to load: the copied item and the paste point go.
    virtual void ForgetCopy() = 0;
    // The picture was written: what is on screen is now the saved state.
    virtual void PictureSaved() {}
};

// The file commands of the document: New, Open, Save and Save As, the save
// question before a command that would drop the changes, the document's load
// and save hints, and the "_원본" copy kept of a picture handed over on the
// command line. The picture itself is the item canvas's composite.
class CFileCommands
{
public:
    CFileCommands(COMRImageEditorDoc& document, AppSettings& settings, CPrompter& prompter,
                  CPictureSurface& surface);
    ~CFileCommands();

    // Runs New, Open, Save or Save As; false for any other command.
    bool Run(int id);
    // Opens the picture at `path` (the command line, the recent-file list)
    // once the changes are saved or dropped.
    void OpenDocument(const QString& path);
    // Saves or drops the changes as the user answers; false when the user
    // cancelled or the changes could not be written.
    bool SaveFirst();
    // The document's update hints.
    void OnUpdate(int hint, const QString& path);

    const CPictureFile& File() const { return file_; }

private:
    void FileNew();
    void FileOpen();
    void FileSave();
    bool FileSaveAs();
    bool WriteToPath(const QString& path);
    void LoadPicture(const QString& path);
    void ShowTitle(const QString& name);
    QString SaveQuestion() const;

    COMRImageEditorDoc& document_;
    AppSettings& settings_;
    CPrompter& prompter_;
    CPictureSurface& surface_;
    CPictureFile file_;
};
