// The commands and private messages of the editing view: rotate and mirror,
// crop mode, pan, copy and paste, item drops, deletes and z-order moves.
#include "CClipboardPictures.h"
#include "CDroppedItems.h"
#include "CEditingState.h"
#include "CItem.h"
#include "CItemCanvas.h"
#include "COMRImageEditorDoc.h"
#include "COMRImageEditorView.h"
#include "CPicturePrinter.h"
#include "CPrompter.h"
#include "CommandIds.h"
#include "UndoSteps.h"

#include <QMenu>

#include <cmath>
#include <set>

namespace {

const QString kOutsidePicture =
    QStringLiteral("아이템이 놓일 위치가 기본 이미지 영역 밖에 있습니다.");
const QString kNoPicture = QStringLiteral("현재 편집할 이미지가 없습니다");

QSize CropPreset(int id)
{
    switch (id) {
    case cmd::kCropPhone:
        return {160, 120};
    case cmd::kCropVideo:
        return {320, 240};
    case cmd::kCropHomePage:
        return {400, 300};
    default:
        return {640, 480};
    }
}

// The indexes of every item above the base, from the top down.
msg::IndexList ItemsTopDown(int count)
{
    msg::IndexList indexes;
    for (int index = count - 1; index >= 1; --index) {
        indexes.push_back(uint32_t(index));
    }
    return indexes;
}

} // namespace

bool COMRImageEditorView::RunCommand(int id)
{
    if (files_.Run(id)) {
        return true;
    }
    switch (id) {
    case cmd::kGuideline:
        editTool_.ToggleGuideline();
        viewport()->update();
        break;
    case cmd::kRotateRight:
    case cmd::kRotate180:
    case cmd::kRotateLeft:
    case cmd::kMirrorLeftRight:
    case cmd::kMirrorTopBottom:
        Turn(id);
        break;
    case cmd::kMove:
        ToggleMove();
        break;
    case cmd::kCropPhone:
    case cmd::kCropVideo:
    case cmd::kCropHomePage:
    case cmd::kCropBoard:
        crop_.SetKind(CCropSelection::kFixed);
        crop_.SetFixedSize(CropPreset(id).width(), CropPreset(id).height());
        ToggleCrop();
        break;
    case cmd::kCropFree:
        crop_.SetKind(CCropSelection::kFree);
        crop_.SetFixedSize(0, 0);
        ToggleCrop();
        break;
    case cmd::kCropButton:
        if (InCropMode()) {
            LeaveCrop();
        } else {
            RunCommand(cmd::kCropFree);
        }
        break;
    case cmd::kCrop:
        Crop();
        break;
    case cmd::kCancelCrop:
        CancelCrop();
        break;
    case cmd::kFilePrint:
        CPicturePrinter(prompter_).Print(this, canvas_, files_.ProposedName(QStringLiteral("pdf")));
        break;
    case cmd::kCopyItem:
        CopyItem();
        break;
    case cmd::kPasteItem:
        PasteItem();
        break;
    case cmd::kCopyImage:
        CClipboardPictures::PutPicture(canvas_.Composite());
        break;
    case cmd::kNewText:
        ToggleTextPlacement();
        break;
    case cmd::kEditText:
        EditText(selected_);
        break;
    case cmd::kInsertPicture:
        InsertPicture();
        break;
    case cmd::kAppendPicture:
        AppendPicture();
        break;
    case cmd::kUndo:
    case cmd::kRedo:
        UndoStep(id == cmd::kRedo);
        break;
    default:
        return false;
    }
    return true;
}

std::optional<CommandState> COMRImageEditorView::CommandStatus(int id) const
{
    const bool editing = state_.tool == CEditingState::kEditItems;
    switch (id) {
    case cmd::kFileNew:
    case cmd::kFileOpen:
    case cmd::kCropPhone:
    case cmd::kCropVideo:
    case cmd::kCropHomePage:
    case cmd::kCropBoard:
    case cmd::kCropFree:
        return CommandState{};
    case cmd::kFileSave:
    case cmd::kFileSaveAs:
    case cmd::kFileSaveProject:
    case cmd::kFileExportOra:
    case cmd::kFilePrint:
    case cmd::kRotateRight:
    case cmd::kRotate180:
    case cmd::kRotateLeft:
    case cmd::kMirrorLeftRight:
    case cmd::kMirrorTopBottom:
    case cmd::kInsertMenu:
    case cmd::kInsertPicture:
    case cmd::kAppendPicture:
    case cmd::kCopyImage:
        return CommandState{present_, false};
    case cmd::kNewText:
        return CommandState{present_, state_.mode == CEditingState::kTextPlacement};
    case cmd::kEditText:
        return CommandState{SelectedIsText(), false};
    case cmd::kGuideline:
        return CommandState{true, editTool_.GuidelineOn()};
    case cmd::kMove:
        return CommandState{scrollable_, state_.tool == CEditingState::kPan};
    case cmd::kCropButton:
        return CommandState{present_, InCropMode()};
    case cmd::kCrop:
    case cmd::kCancelCrop:
        return CommandState{InCropMode(), false};
    case cmd::kUndo:
        return CommandState{present_ && history_.CanUndo() && !tracker_.IsTracking(), false};
    case cmd::kRedo:
        return CommandState{present_ && history_.CanRedo() && !tracker_.IsTracking(), false};
    case cmd::kCopyItem:
        return CommandState{canvas_.Count() >= 2 && editing && selected_ >= 1, false};
    case cmd::kPasteItem:
        return CommandState{copied_ != nullptr && editing && pictureRect_.contains(pastePoint_),
                            false};
    default:
        return std::nullopt;
    }
}

void COMRImageEditorView::Receive(msg::Message message)
{
    switch (message.id) {
    case msg::kPlaceItems:
        if (message.drop) {
            PlaceItems(*message.drop);
        }
        break;
    case msg::kSelectItems:
        if (message.indexes && !message.indexes->empty()) {
            Select(int(message.indexes->back()), false);
        }
        break;
    case msg::kDeleteItems:
        DeleteItems(message.indexes);
        break;
    case msg::kEffectsChanged:
        EffectsChanged(int(message.wparam));
        break;
    case msg::kEffectsPreview:
        if (present_) {
            livePreview_.Request();
        }
        break;
    case msg::kMoveItem:
        if (message.indexes && message.indexes->size() == 2) {
            MoveItem(int((*message.indexes)[0]), int((*message.indexes)[1]));
        }
        break;
    case msg::kZoom:
        SetZoom(message.lparam / 100.0);
        break;
    case msg::kFitItem:
        if (message.indexes && !message.indexes->empty()) {
            FitToPicture(int(message.indexes->front()));
        }
        break;
    default: // 0x494 (the base size) means nothing to the view
        break;
    }
}

// ---- picture commands

void COMRImageEditorView::Turn(int id)
{
    if (!present_) {
        return;
    }
    const RotateFlipType types[] = {
        RotateFlipType::Rotate90FlipNone, RotateFlipType::Rotate180FlipNone,
        RotateFlipType::Rotate270FlipNone, RotateFlipType::RotateNoneFlipX,
        RotateFlipType::Rotate180FlipX};
    const int turn = id - cmd::kRotateRight; // 0..4 in the order above
    CItem* item = state_.tool == CEditingState::kEditItems && selected_ >= 1
                      ? canvas_.ItemAt(selected_)
                      : nullptr;
    if (item != nullptr) {
        if (turn <= 2) {
            item->RotateAboutCentre(90.0 * (turn + 1));
        } else {
            item->FlipAboutCentre(id == cmd::kMirrorLeftRight);
        }
    } else {
        canvas_.TurnPicture(types[turn]);
        TurnCropSelection(turn, pictureSize_);
        pictureSize_ = canvas_.BaseSize();
        SendBaseSize();
    }
    Relayout(false);
    Rerender();
    PictureChanged(turn <= 2 ? step::kRotate : step::kMirror);
}

void COMRImageEditorView::FitToPicture(int index)
{
    CItem* item = index >= 1 ? canvas_.ItemAt(index) : nullptr;
    if (!present_ || item == nullptr) {
        return;
    }
    Select(index); // the step keeps the item selected on both sides
    const QPainterPath before = item->Outline();
    item->StretchOver(QRectF(QPointF(0, 0), pictureSize_));
    if (item->Outline() == before) {
        return; // it covers the picture already: no step
    }
    Rerender();
    PictureChanged(step::kFit);
    RefreshTracker();
}

void COMRImageEditorView::TurnCropSelection(int turn, QSizeF size)
{
    const float zoom = crop_.Zoom();
    crop_.SetZoom(1.0f); // the outline in picture pixels
    if (turn <= 2) {
        crop_.Rotate(turn + 1, size.width() / 2, size.height() / 2);
    } else if (const std::optional<QPainterPath> outline = crop_.PictureOutline()) {
        const QTransform mirror = turn == 3 ? QTransform(-1, 0, 0, 1, size.width(), 0)
                                            : QTransform(1, 0, 0, -1, 0, size.height());
        crop_.SetOutline(mirror.map(*outline));
    }
    crop_.SetZoom(zoom);
}

void COMRImageEditorView::ToggleMove()
{
    if (state_.tool == CEditingState::kPan) {
        state_.tool = CEditingState::kEditItems;
    } else if (scrollable_) {
        if (InCropMode()) {
            LeaveCrop();
        }
        state_.tool = CEditingState::kPan;
    }
    panTool_.Reset();
    RefreshTracker();
    RefreshCursor();
    viewport()->update();
}

void COMRImageEditorView::FitToWindow()
{
    const double zoom = ViewLayout::FillZoom(pictureSize_, viewport()->size());
    Send(msg::Make(msg::kZoom, msg::kZoomToolBarAndView, long(zoom * 100)));
}

// ---- crop mode

void COMRImageEditorView::ToggleCrop()
{
    if (InCropMode()) {
        LeaveCrop();
        return;
    }
    if (state_.mode == CEditingState::kTextPlacement) {
        state_.mode = state_.modeBeforeText;
    }
    CommitNudge();
    selected_ = -1;
    tracker_.Deselect();
    crop_.Clear();
    state_.toolBeforeCrop = state_.tool;
    state_.tool = CEditingState::kCrop;
    // The crop selection only moves and resizes.
    tracker_.SetOptions(CTransformTracker::kViewOptions &
                        ~(CTransformTracker::kRotateAllowed | CTransformTracker::kShearAllowed));
    RefreshCursor();
    viewport()->update();
}

void COMRImageEditorView::LeaveCrop()
{
    tracker_.Deselect();
    crop_.Clear();
    crop_.SetZoom(float(zoom_));
    cropTool_.Reset();
    tracker_.SetOptions(CTransformTracker::kViewOptions);
    state_.tool = CEditingState::kEditItems;
    RefreshCursor();
    viewport()->update();
}

void COMRImageEditorView::CancelCrop()
{
    tracker_.Deselect();
    crop_.Clear();
    cropTool_.Reset();
    viewport()->update();
}

void COMRImageEditorView::CropMenu(const QPointF& point)
{
    if (!crop_.HitTest(int(point.x()), int(point.y()))) {
        CancelCrop();
        return;
    }
    QMenu menu(this);
    QAction* crop = menu.addAction(QStringLiteral("잘라내기"));
    QAction* cancel = menu.addAction(QStringLiteral("취소"));
    const QAction* chosen = menu.exec(viewport()->mapToGlobal((point - ScrollOffset()).toPoint()));
    if (chosen == crop) {
        Crop();
    } else if (chosen == cancel) {
        CancelCrop();
    }
}

void COMRImageEditorView::Crop()
{
    const std::optional<QPainterPath> outline = crop_.PictureOutline();
    if (!InCropMode() || !outline) {
        return;
    }
    const QRectF bounds = outline->boundingRect();
    // Only the part of the selection that lies on the picture is kept.
    const QRect cut = QRect(int(std::lround(bounds.x())), int(std::lround(bounds.y())),
                            int(std::lround(bounds.width())), int(std::lround(bounds.height()))) &
                      QRect(QPoint(0, 0), pictureSize_.toSize());
    if (cut.isEmpty()) {
        return;
    }
    const int count = canvas_.Count();
    if (count > 1) {
        const CPrompter::Answer answer = prompter_.Ask(
            this, QStringLiteral("배경이미지에 아이템을 합친 후 잘라내기를 하시겠습니까?"));
        if (answer == CPrompter::kCancel) {
            return;
        }
        if (answer == CPrompter::kYes) {
            canvas_.Merge(1, -1, false);
            DropMergedItems();
        }
    }
    canvas_.OffsetItems(-cut.x(), -cut.y());
    canvas_.CutItem(0, cut.x(), cut.y(), cut.width(), cut.height());
    canvas_.Render(0, canvas_.Count() - 1, cut.width(), cut.height());
    pictureSize_ = cut.size();
    LeaveCrop();
    Relayout(false);
    Rerender();
    PictureChanged(step::kCrop);
    Send(msg::Make(msg::kBaseSize, 0, msg::MakeLong(cut.width(), cut.height())));
}

// ---- copy, paste and drops

void COMRImageEditorView::CopyItem()
{
    if (selected_ == 0) {
        prompter_.Tell(this, QStringLiteral("원본 이미지는 복사할 수 없습니다."));
    } else if (const CItem* item = canvas_.ItemAt(selected_); item != nullptr && selected_ >= 1) {
        copied_ = item->Duplicate();
        CClipboardPictures::PutItem(*item); // for other programs to paste
    }
}

void COMRImageEditorView::PasteItem()
{
    if (!present_ || copied_ == nullptr || state_.tool != CEditingState::kEditItems) {
        return;
    }
    const bool atPoint = pastePoint_ != QPoint(-1, -1);
    if (atPoint && !pictureRect_.contains(pastePoint_)) {
        prompter_.Tell(this, kOutsidePicture);
        return;
    }
    CItem* item = canvas_.AddItem(copied_->Duplicate());
    item->SetScale(float(zoom_));
    const int index = canvas_.Count() - 1;
    const QPainterPath outline = canvas_.ItemOutlineInView(index);
    const QRectF bounds = outline.boundingRect();
    const QPointF target =
        atPoint ? QPointF(pastePoint_)
                : QRectF(pictureRect_).center() - QPointF(bounds.width(), bounds.height()) / 2;
    canvas_.SetItemOutlineFromView(index, outline.translated(target - bounds.topLeft()));
    placements_.Placed(*item);
    Rerender();
    PictureChanged(step::kPlace);
    Select(index);
}

bool COMRImageEditorView::PasteClipboardPicture()
{
    if (!present_ || state_.tool != CEditingState::kEditItems) {
        return false;
    }
    std::optional<QImage> picture = CClipboardPictures::PictureToPaste(copied_ != nullptr);
    if (!picture) {
        return false;
    }
    Send(msg::WithDrop(CClipboardPictures::CentreDrop(std::move(*picture))));
    return true;
}

CDropHandler::Site COMRImageEditorView::DropSite()
{
    return {[this] { return present_; },
            [this] {
                return viewport()->mapToGlobal(
                    (QRectF(pictureRect_).center() - ScrollOffset()).toPoint());
            },
            [this](const QString& path) { files_.OpenDocument(path); },
            [this](msg::ItemDropRequest request) { Send(msg::WithDrop(std::move(request))); }};
}

void COMRImageEditorView::DropMergedItems()
{
    // The frame keeps only the indexes of items still on the canvas, so the
    // panels hear of the merged items before they go. The view hears it
    // too; the crop or append records the step.
    partOfStep_ = true;
    Send(msg::WithIndexes(msg::kDeleteItems, 0, ItemsTopDown(canvas_.Count())));
    partOfStep_ = false;
    for (int index = canvas_.Count() - 1; index >= 1; --index) {
        canvas_.RemoveAt(index);
    }
    state_.currentItem = canvas_.ItemAt(0); // the merged items are gone
}

bool COMRImageEditorView::PictureOrRefuse()
{
    if (!present_) {
        prompter_.Tell(this, kNoPicture);
    }
    return present_;
}

void COMRImageEditorView::PlaceItems(const msg::ItemDropRequest& request)
{
    if (!PictureOrRefuse()) {
        return;
    }
    const QPointF point = request.x == -1 && request.y == -1
                              ? QRectF(pictureRect_).center()
                              : ToView(viewport()->mapFromGlobal(QPointF(request.x, request.y)));
    if (!QRectF(pictureRect_).adjusted(1, 1, -1, -1).contains(point)) {
        prompter_.Tell(this, kOutsidePicture);
        return;
    }
    const QPointF centre = point - QPointF(pictureRect_.topLeft());
    if (!CDroppedItems(canvas_, placements_).Place(request.entries, centre, pictureSize_, zoom_)) {
        return;
    }
    Rerender();
    PictureChanged(step::kPlace);
    Select(canvas_.Count() - 1);
}

void COMRImageEditorView::DeleteItems(const std::optional<msg::IndexList>& indexes)
{
    if (!indexes) {
        return; // a new picture: the view has cleared the canvas itself
    }
    // Each index once, from the top down so that no removal shifts another;
    // the base picture is never removed, whoever asks.
    std::set<uint32_t, std::greater<>> ordered(indexes->begin(), indexes->end());
    bool removed = false;
    for (const uint32_t index : ordered) {
        if (index >= 1 && int(index) < canvas_.Count()) {
            canvas_.RemoveAt(int(index));
            removed = true;
        }
    }
    if (removed) {
        Rerender();
        PictureChanged(step::kDelete);
    }
    nudged_ = false;
    Select(present_ ? 0 : -1, false);
}

void COMRImageEditorView::MoveItem(int from, int to)
{
    const int count = canvas_.Count();
    if (from < 1 || to < 1 || from >= count || to >= count || from == to) {
        return;
    }
    CommitNudge();
    canvas_.MoveItem(from, to);
    Rerender();
    selected_ = to;
    state_.currentItem = canvas_.ItemAt(to);
    PictureChanged(step::kOrder); // the moved item stays selected
    RefreshTracker();
}
