#include "CPrompter.h"

#include "COpenSizeDialog.h"
#include "FileTypes.h"
#include "Refusal.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

#include <memory>

namespace {

const QString kProjectFilter = QStringLiteral("Pixvel 프로젝트 (*.pixvel)");

// A save dialog for one file type; the name gets the type's suffix when the
// user left it out.
QString SaveNameWithSuffix(QWidget* parent, const QString& proposed, const QString& filter,
                           const QString& suffix)
{
    const QString path = QFileDialog::getSaveFileName(parent, QString(), proposed, filter);
    if (path.isEmpty() || QFileInfo(path).suffix().compare(suffix, Qt::CaseInsensitive) == 0) {
        return path;
    }
    return path + QLatin1Char('.') + suffix;
}

CPrompter::Answer AnswerOf(const QMessageBox& box, const QAbstractButton* discard)
{
    const QAbstractButton* clicked = box.clickedButton();
    if (clicked != nullptr && clicked == discard) {
        return CPrompter::kDiscard;
    }
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes:
        return CPrompter::kYes;
    case QMessageBox::No:
        return CPrompter::kNo;
    default:
        return CPrompter::kCancel;
    }
}

// A question box with the program's title. Its "No" reads "아니오", as the
// questions name it (Qt's own Korean text is "아니요").
std::unique_ptr<QMessageBox> QuestionBox(QWidget* parent, const QString& text,
                                         QMessageBox::StandardButtons buttons)
{
    auto box = std::make_unique<QMessageBox>(QMessageBox::Question, QApplication::applicationName(),
                                             text, buttons, parent);
    box->button(QMessageBox::No)->setText(QStringLiteral("아니오(&N)"));
    box->setDefaultButton(QMessageBox::Yes);
    return box;
}

} // namespace

void CDialogPrompter::Tell(QWidget* parent, const QString& text)
{
    ShowRefusal(parent, text);
}

bool CDialogPrompter::TellWithChoice(QWidget* parent, const QString& text, const QString& choice)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Pixvel"), text, QMessageBox::Ok, parent);
    const QPushButton* chosen = box.addButton(choice, QMessageBox::AcceptRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    return box.clickedButton() == chosen;
}

CPrompter::Answer CDialogPrompter::Ask(QWidget* parent, const QString& text)
{
    const auto box =
        QuestionBox(parent, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box->exec();
    return AnswerOf(*box, nullptr);
}

CPrompter::Answer CDialogPrompter::AskSaveFirst(QWidget* parent, const QString& text)
{
    const auto box = QuestionBox(parent, text, QMessageBox::Yes | QMessageBox::No);
    // A second button of the "No" kind lies between "아니오" and "취소".
    QPushButton* discard = box->addButton(QStringLiteral("저장 안 함"), QMessageBox::NoRole);
    box->addButton(QMessageBox::Cancel);
    box->setEscapeButton(QMessageBox::Cancel);
    box->exec();
    return AnswerOf(*box, discard);
}

QString CDialogPrompter::OpenFileName(QWidget* parent)
{
    // Projects open where pictures do: the first filter shows both.
    const QStringList filters = FileTypes::DialogFilters();
    QString all = filters.first();
    all.insert(all.lastIndexOf(')'), QStringLiteral(" *.pixvel"));
    return QFileDialog::getOpenFileName(
        parent, QString(), QString(),
        (QStringList{all} + filters.mid(1) + QStringList{kProjectFilter}).join(";;"));
}

QString CDialogPrompter::PictureFileName(QWidget* parent)
{
    // The picture types alone: a project is a whole picture with its items,
    // nothing to place on or beside another.
    return QFileDialog::getOpenFileName(parent, QString(), QString(),
                                        FileTypes::DialogFilters().join(";;"));
}

QString CDialogPrompter::SaveProjectName(QWidget* parent, const QString& proposed)
{
    return SaveNameWithSuffix(parent, proposed, kProjectFilter, QStringLiteral("pixvel"));
}

QString CDialogPrompter::ExportName(QWidget* parent, const QString& proposed)
{
    return SaveNameWithSuffix(parent, proposed, QStringLiteral("OpenRaster (*.ora)"),
                              QStringLiteral("ora"));
}

QString CDialogPrompter::PdfFileName(QWidget* parent, const QString& proposed)
{
    return SaveNameWithSuffix(parent, proposed, QStringLiteral("PDF (*.pdf)"),
                              QStringLiteral("pdf"));
}

QString CDialogPrompter::SaveFileName(QWidget* parent, const QString& proposed)
{
    const QString path = QFileDialog::getSaveFileName(parent, QString(), proposed,
                                                      FileTypes::SaveDialogFilters().join(";;"));
    return path.isEmpty() ? path : FileTypes::WithDefaultExtension(path);
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
