#pragma once

#include "CBitmap.h"
#include "CNewPictureDialog.h"

#include <QString>

#include <optional>

class QWidget;

// Everything the editor's view and frame tell or ask the user: refusals,
// file names, Yes/No/Cancel questions, the new-picture and open-size
// dialogs. The program shows the real boxes and dialogs; tests answer with a
// script. One prompter serves the frame, the view and the file commands.
class CPrompter
{
public:
    enum Answer : int
    {
        kYes,
        kNo,
        kDiscard, // "저장 안 함": only from AskSaveFirst
        kCancel,
    };

    virtual ~CPrompter() = default;

    // A refusal: the text in a box with an OK button.
    virtual void Tell(QWidget* parent, const QString& text) = 0;
    // A refusal with a way on: a button `choice` beside OK. Whether the user
    // took it.
    virtual bool TellWithChoice(QWidget* parent, const QString& text, const QString& choice)
    {
        Q_UNUSED(choice);
        Tell(parent, text);
        return false;
    }
    // A question with Yes, No and Cancel.
    virtual Answer Ask(QWidget* parent, const QString& text) = 0;
    // The save question asked before a command that would drop the changes:
    // Yes, No, "저장 안 함" (drop them) and Cancel.
    virtual Answer AskSaveFirst(QWidget* parent, const QString& text) = 0;
    // The chosen file, or empty when cancelled.
    virtual QString OpenFileName(QWidget* parent) = 0;
    // A picture to add to the open one (insert, append): as OpenFileName,
    // but offering pictures only.
    virtual QString PictureFileName(QWidget* parent) { return OpenFileName(parent); }
    virtual QString SaveFileName(QWidget* parent, const QString& proposed) = 0;
    // The file a project is saved to (a save dialog for projects), or empty.
    virtual QString SaveProjectName(QWidget* parent, const QString& proposed)
    {
        return SaveFileName(parent, proposed);
    }
    // The file a layered OpenRaster copy is written to, or empty.
    virtual QString ExportName(QWidget* parent, const QString& proposed)
    {
        return SaveFileName(parent, proposed);
    }
    // The PDF file a picture is saved to instead of printed, or empty.
    virtual QString PdfFileName(QWidget* parent, const QString& proposed)
    {
        return SaveFileName(parent, proposed);
    }
    virtual std::optional<NewPictureSettings> NewPicture(QWidget* parent) = 0;
    // The picture loaded at the size the user chose; no picture when the file
    // cannot be read or the user cancelled.
    virtual CBitmap OpenPicture(QWidget* parent, const QString& path) = 0;
};

// The prompter of the program: message boxes, the standard file dialogs and
// the editor's own dialogs.
class CDialogPrompter : public CPrompter
{
public:
    void Tell(QWidget* parent, const QString& text) override;
    bool TellWithChoice(QWidget* parent, const QString& text, const QString& choice) override;
    Answer Ask(QWidget* parent, const QString& text) override;
    Answer AskSaveFirst(QWidget* parent, const QString& text) override;
    QString OpenFileName(QWidget* parent) override;
    QString PictureFileName(QWidget* parent) override;
    QString SaveFileName(QWidget* parent, const QString& proposed) override;
    QString SaveProjectName(QWidget* parent, const QString& proposed) override;
    QString ExportName(QWidget* parent, const QString& proposed) override;
    QString PdfFileName(QWidget* parent, const QString& proposed) override;
    std::optional<NewPictureSettings> NewPicture(QWidget* parent) override;
    CBitmap OpenPicture(QWidget* parent, const QString& path) override;
};
