#include "CViewPrompter.h"

#include "COpenSizeDialog.h"
#include "FileTypes.h"
#include "Refusal.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

QString CDialogPrompter::OpenFileName(QWidget* parent)
{
    return QFileDialog::getOpenFileName(parent, QString(), QString(),
                                        FileTypes::DialogFilters().join(";;"));
}

QString CDialogPrompter::SaveFileName(QWidget* parent, const QString& proposed)
{
    const QString path = QFileDialog::getSaveFileName(parent, QString(), proposed,
                                                      FileTypes::DialogFilters().join(";;"));
    return path.isEmpty() ? path : FileTypes::WithDefaultExtension(path);
}

CViewPrompter::Answer CDialogPrompter::Ask(QWidget* parent, const QString& text)
{
    const auto button =
        QMessageBox::question(parent, QApplication::applicationName(), text,
                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    return button == QMessageBox::Yes ? kYes : button == QMessageBox::No ? kNo : kCancel;
}

void CDialogPrompter::Tell(QWidget* parent, const QString& text)
{
    ShowRefusal(parent, text);
}

std::optional<NewPictureSettings> CDialogPrompter::NewPicture(QWidget* parent)
{
    CNewPictureDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Settings();
}

CBitmap CDialogPrompter::OpenPicture(QWidget* parent, const QString& path)
{
    return COpenSizeDialog::OpenPicture(parent, path);
}
