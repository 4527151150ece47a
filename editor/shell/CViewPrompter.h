#pragma once

#include "CBitmap.h"
#include "CNewPictureDialog.h"

#include <QString>

#include <optional>

class QWidget;

// Everything the view asks the user while opening and saving: file names,
// Yes/No/Cancel questions, the new-picture and open-size dialogs. The
// program shows the real dialogs; tests answer with a script.
class CViewPrompter
{
public:
    enum Answer : int
    {
        kYes,
        kNo,
        kCancel,
    };

    virtual ~CViewPrompter() = default;

    // The chosen file, or empty when cancelled.
    virtual QString OpenFileName(QWidget* parent) = 0;
    virtual QString SaveFileName(QWidget* parent, const QString& proposed) = 0;
    virtual Answer Ask(QWidget* parent, const QString& text) = 0;
    // Tells the user something, in a message box with an OK button.
    virtual void Tell(QWidget* parent, const QString& text) = 0;
    virtual std::optional<NewPictureSettings> NewPicture(QWidget* parent) = 0;
    // The picture loaded at the size the user chose; no picture when the file
    // cannot be read or the user cancelled.
    virtual CBitmap OpenPicture(QWidget* parent, const QString& path) = 0;
};

// The prompter of the program: the standard file dialogs, a question box and
// the editor's own dialogs.
class CDialogPrompter : public CViewPrompter
{
public:
    QString OpenFileName(QWidget* parent) override;
    QString SaveFileName(QWidget* parent, const QString& proposed) override;
    Answer Ask(QWidget* parent, const QString& text) override;
    void Tell(QWidget* parent, const QString& text) override;
    std::optional<NewPictureSettings> NewPicture(QWidget* parent) override;
    CBitmap OpenPicture(QWidget* parent, const QString& path) override;
};
