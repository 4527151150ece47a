// Undo and redo of the editing view: every edit records a snapshot step
// (PictureChanged); undo and redo put a snapshot back and bring the screen,
// the selection and both panel bars in line with it.
#include "CEditingState.h"
#include "CItemCanvas.h"
#include "COMRImageEditorDoc.h"
#include "COMRImageEditorView.h"
#include "CommandIds.h"
#include "UndoSteps.h"

namespace {

const QString kUndoText = QStringLiteral("실행 취소");
const QString kRedoText = QStringLiteral("다시 실행");

QString MenuText(const QString& command, const QString& step)
{
    return step.isEmpty() ? command : command + QLatin1Char(' ') + step;
}

} // namespace

void COMRImageEditorView::StartHistory()
{
    // Recovered work starts unsaved: no undo step then reaches a saved state.
    history_.Reset(CCanvasSnapshot::Take(canvas_, selected_), !document_.IsModified());
}

void COMRImageEditorView::CleanChanged(bool clean)
{
    if (present_) {
        document_.SetModifiedFlag(!clean);
    }
}

void COMRImageEditorView::PictureSaved()
{
    history_.SetClean();
}

std::optional<QString> COMRImageEditorView::CommandText(int id) const
{
    switch (id) {
    case cmd::kUndo:
        return MenuText(kUndoText, history_.UndoText());
    case cmd::kRedo:
        return MenuText(kRedoText, history_.RedoText());
    default:
        return std::nullopt;
    }
}

void COMRImageEditorView::UndoStep(bool redo)
{
    if (!present_ || tracker_.IsTracking()) {
        return;
    }
    CommitNudge(); // a nudge still held is a step of its own
    if (redo) {
        history_.Redo();
    } else {
        history_.Undo();
    }
    // Every change is told, so the recovery copy follows undo and redo too.
    document_.SetModifiedFlag(!history_.IsClean());
}

void COMRImageEditorView::EffectsChanged(int slider)
{
    Rerender();
    // A release that left the values as they were (a key at the slider's
    // end, a click on the thumb) is no step.
    const CItem* before = nullptr;
    int index = 0;
    for (; index < canvas_.Count() && history_.Current() != nullptr; ++index) {
        if (canvas_.ItemAt(index) == state_.currentItem) {
            before = history_.Current()->ItemAt(index);
            break;
        }
    }
    if (before != nullptr && state_.currentItem != nullptr &&
        before->Effects() == state_.currentItem->Effects()) {
        return;
    }
    const CSnapshotStep::Merge merge =
        slider != 0 ? CSnapshotStep::Merge{step::kSliderMergeBase + slider, index}
                    : CSnapshotStep::Merge{};
    PictureChanged(slider == step::kOpacitySlider ? step::kOpacity : step::kEffects, merge);
}

void COMRImageEditorView::RestoreSnapshot(const CCanvasSnapshot& snapshot)
{
    nudged_ = false;
    arrowsHeld_.clear();
    if (state_.mode == CEditingState::kTextPlacement) {
        state_.mode = state_.modeBeforeText;
    }
    if (InCropMode()) {
        CancelCrop(); // the selection was drawn on the picture that went
    }
    snapshot.RestoreTo(canvas_);
    const bool resized = canvas_.BaseSize() != pictureSize_;
    pictureSize_ = canvas_.BaseSize();
    selected_ = -1;
    state_.currentItem = canvas_.ItemAt(0); // the old items are gone
    placements_.Retell(canvas_);
    // Rendered before the layout, which then scales the new composite once
    // when the picture's size changed; a preview of the old items ends.
    livePreview_.End();
    canvas_.Render();
    Relayout(false);
    if (!resized) {
        RescaleComposite();
    }
    viewport()->update();
    const int selected = snapshot.Selected();
    Select(selected >= 0 && selected < canvas_.Count() ? selected : 0, true);
    SendBaseSize();
}
