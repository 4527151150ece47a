#include "CPictureCommands.h"

#include "CAppendPictureDialog.h"
#include "CBitmap.h"
#include "CInsertPictureDialog.h"
#include "CItemCanvas.h"
#include "CPictureSizeCheck.h"
#include "CPrompter.h"

const QString CPictureCommands::kUnreadable = QStringLiteral("그림 파일을 열 수 없습니다.\n%1");

CPictureCommands::CPictureCommands(CPrompter& prompter, CItemCanvas& canvas)
    : prompter_(prompter), canvas_(canvas)
{}

std::optional<CPictureCommands::Picture> CPictureCommands::ChoosePicture(QWidget* parent)
{
    const QString path = prompter_.PictureFileName(parent);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    CBitmap bitmap = CBitmap::FromFile(path);
    if (bitmap.IsNull()) {
        prompter_.Tell(parent, kUnreadable.arg(path));
        return std::nullopt;
    }
    return Picture{path, std::move(bitmap.Image())};
}

QSizeF CPictureCommands::BaseBox() const
{
    const QSizeF base = canvas_.BaseSize();
    const CItem* item = canvas_.ItemAt(0);
    if (item == nullptr) {
        return base;
    }
    const QSizeF bitmap = item->Size();
    const QSizeF bounds = item->Outline().boundingRect().size();
    const bool turned = (bounds.width() > bounds.height()) != (bitmap.width() > bitmap.height()) &&
                        bitmap.width() != bitmap.height();
    return turned ? base.transposed() : base;
}

std::optional<msg::ItemDropRequest> CPictureCommands::InsertPicture(QWidget* parent)
{
    std::optional<Picture> picture = ChoosePicture(parent);
    if (!picture) {
        return std::nullopt;
    }
    CInsertPictureDialog dialog(picture->image.size(), parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const QSize size =
        CInsertPictureDialog::PlacedSize(dialog.Choice(), picture->image.size(), BaseBox());
    if (size != picture->image.size()) {
        CBitmap resampled(std::move(picture->image));
        if (Failed(
                resampled.Resample(size.width(), size.height(), CItemCanvas::kCompatibleFormat))) {
            CPictureSizeCheck::ReportNoMemory(parent);
            return std::nullopt;
        }
        picture->image = std::move(resampled.Image());
    }
    msg::ItemDropRequest request;
    request.entries.push_back({picture->path, std::move(picture->image)});
    return request;
}

std::optional<bool> CPictureCommands::AppendPicture(QWidget* parent)
{
    const std::optional<Picture> picture = ChoosePicture(parent);
    if (!picture) {
        return std::nullopt;
    }
    CAppendPictureDialog dialog(picture->image.size(), canvas_.BaseSize(), parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const AppendPictureChoice& choice = dialog.Choice();
    if (!canvas_.AppendPicture(0, picture->image, choice.side, choice.gap,
                               ToQColor(choice.gapColour), choice.merge)) {
        CPictureSizeCheck::ReportNoMemory(parent);
        return std::nullopt;
    }
    return choice.merge;
}
