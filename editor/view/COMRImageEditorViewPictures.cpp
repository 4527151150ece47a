// The text, insert and append flows of the editing view.
#include "CEditingState.h"
#include "CItemCanvas.h"
#include "COMRImageEditorView.h"
#include "CPrompter.h"
#include "CTextDialog.h"
#include "CTextItem.h"
#include "UndoSteps.h"

#include <QFontDatabase>

namespace {

const QString kTextLabel = QStringLiteral("문자열");
const QString kOutsideForText = QStringLiteral("이미지 영역 밖을 선택하였습니다. ");

} // namespace

void COMRImageEditorView::ToggleTextPlacement()
{
    if (state_.mode == CEditingState::kTextPlacement) {
        state_.mode = state_.modeBeforeText;
    } else if (PictureOrRefuse()) {
        if (InCropMode()) {
            LeaveCrop();
        }
        CommitNudge();
        Tool().Reset();
        state_.modeBeforeText = state_.mode;
        state_.mode = CEditingState::kTextPlacement;
    }
    RefreshCursor();
}

bool COMRImageEditorView::SelectedIsText() const
{
    return selected_ >= 1 && dynamic_cast<const CTextItem*>(canvas_.ItemAt(selected_)) != nullptr;
}

void COMRImageEditorView::PlaceText(const QPointF& point)
{
    state_.mode = state_.modeBeforeText;
    RefreshCursor();
    if (!QRectF(pictureRect_).contains(point)) {
        prompter_.Tell(this, kOutsideForText);
        return;
    }
    CTextDialog dialog(QFontDatabase::families(), this);
    dialog.SetNewText((point - QPointF(pictureRect_.topLeft())) / zoom_);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    std::unique_ptr<CTextItem> text = dialog.TakeItem();
    if (text == nullptr) {
        return;
    }
    text->SetScale(float(zoom_));
    text->SetLabel(kTextLabel);
    CItem* item = canvas_.AddItem(std::move(text));
    state_.currentItem = item;
    placements_.Placed(*item);
    Rerender();
    PictureChanged(step::kText);
    Select(canvas_.Count() - 1);
}

bool COMRImageEditorView::EditText(int index)
{
    auto* text = dynamic_cast<CTextItem*>(canvas_.ItemAt(index));
    if (text == nullptr || index < 1) {
        return false;
    }
    CommitNudge();
    CTextDialog dialog(QFontDatabase::families(), this);
    dialog.SetEditItem(text);
    const QString name = text->Name();
    if (dialog.exec() == QDialog::Accepted) {
        if (text->Name() != name) {
            placements_.Retell(canvas_); // the lists show the item by its new first line
        }
        tracker_.Deselect();
        Rerender();
        PictureChanged(step::kText);
        Select(index);
    }
    return true;
}

void COMRImageEditorView::InsertPicture()
{
    if (!PictureOrRefuse()) {
        return;
    }
    // The frame hands the request back as an item drop at the centre.
    if (std::optional<msg::ItemDropRequest> request = pictures_.InsertPicture(this)) {
        Send(msg::WithDrop(std::move(*request)));
    }
}

void COMRImageEditorView::AppendPicture()
{
    if (!PictureOrRefuse()) {
        return;
    }
    CommitNudge();
    const std::optional<bool> merged = pictures_.AppendPicture(this);
    if (!merged) {
        return;
    }
    if (*merged) {
        DropMergedItems();
    }
    PictureResized();
}

void COMRImageEditorView::PictureResized()
{
    pictureSize_ = canvas_.BaseSize();
    crop_.Clear();
    Relayout(false);
    Rerender();
    PictureChanged(step::kAppend);
    SendBaseSize();
}

void COMRImageEditorView::SendBaseSize() const
{
    // The size of the base picture's pixels: a joined picture may measure a
    // fraction more, and its bitmap took the rounded size.
    const QSize size = pictureSize_.toSize();
    Send(msg::Make(msg::kBaseSize, 0, msg::MakeLong(size.width(), size.height())));
}
