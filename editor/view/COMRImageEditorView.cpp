#include "COMRImageEditorView.h"

#include "CEditingState.h"
#include "CItemCanvas.h"
#include "COMRImageEditorDoc.h"
#include "CPictureItem.h"
#include "CPrompter.h"
#include "CTrackerCursors.h"
#include "UndoSteps.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <cmath>

namespace {

bool IsArrow(int key)
{
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

QPoint ArrowStep(int key)
{
    switch (key) {
    case Qt::Key_Left:
        return {-1, 0};
    case Qt::Key_Right:
        return {1, 0};
    case Qt::Key_Up:
        return {0, -1};
    default:
        return {0, 1};
    }
}

// Pictures larger than this many pixels at the zoom are drawn straight from
// the composite instead of being kept scaled: scaling a large photo whole
// would hold the window on every zoom step, while drawing the visible part
// costs a few milliseconds per repaint.
constexpr qint64 kScaledCacheLimit = qint64(2048) * 2048;

} // namespace

COMRImageEditorView::COMRImageEditorView(COMRImageEditorDoc& document, AppSettings& settings,
                                         CMessageReceiver* mainWindow, CPrompter& prompter,
                                         QWidget* parent)
    : QAbstractScrollArea(parent), document_(document), mainWindow_(mainWindow),
      prompter_(prompter), canvas_(CItemCanvas::Instance()), state_(CEditingState::Instance()),
      files_(document, settings, prompter, *this)
{
    // A new view starts a new editing session.
    canvas_.Clear();
    state_ = CEditingState();
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    tracker_.SetHandleSize(kHandleSize, 0, 0);
    tracker_.SetOptions(CTransformTracker::kViewOptions);
    drops_ = std::make_unique<CDropHandler>(viewport(), prompter_, DropSite());
    Relayout(false);
}

COMRImageEditorView::~COMRImageEditorView()
{
    state_ = CEditingState();
    canvas_.Clear();
}

bool COMRImageEditorView::InCropMode() const
{
    return state_.tool == CEditingState::kCrop;
}

int COMRImageEditorView::ItemCount() const
{
    return canvas_.Count();
}

void COMRImageEditorView::SetPlacementReceiver(CPlacementReceiver* placements)
{
    placements_.SetReceiver(placements);
}

void COMRImageEditorView::OpenDocument(const QString& path)
{
    files_.OpenDocument(path);
}

bool COMRImageEditorView::CanClose()
{
    return files_.SaveFirst();
}

void COMRImageEditorView::ForgetCopy()
{
    copied_.reset();
    pastePoint_ = QPoint(-1, -1);
}

QPoint COMRImageEditorView::ScrollOffset() const
{
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

QPointF COMRImageEditorView::ToView(const QPointF& client) const
{
    return client + ScrollOffset();
}

// ---- layout and painting

void COMRImageEditorView::Relayout(bool fit)
{
    const QSize client = viewport()->size();
    if (!present_) {
        pictureRect_ = QRect();
        total_ = QSize();
        scrollable_ = false;
        horizontalScrollBar()->setRange(0, 0);
        verticalScrollBar()->setRange(0, 0);
        viewport()->update();
        return;
    }
    CommitNudge(); // while the old origin still holds
    if (fit) {
        zoom_ = ViewLayout::FitZoom(pictureSize_, client);
        canvas_.SetZoom(zoom_);
    }
    const ViewPlacement placement = ViewLayout::Place(pictureSize_, zoom_, client);
    pictureRect_ = placement.picture;
    total_ = placement.total;
    canvas_.SetOrigin(pictureRect_.left(), pictureRect_.top());
    // A composite of another size is about to be rendered anew.
    if (scaled_.size() != pictureRect_.size() &&
        canvas_.Composite().size() == pictureSize_.toSize()) {
        RescaleComposite();
    }
    ShowTracker();
    SetScrollRanges(false);
    if (!scrollable_ && state_.tool == CEditingState::kPan) {
        state_.tool = CEditingState::kEditItems; // nothing left to pan
    }
    viewport()->update();
}

void COMRImageEditorView::SetScrollRanges(bool keepPlace)
{
    const QSize client = viewport()->size();
    const ScrollRanges ranges = ViewLayout::Ranges(
        total_, client, tracker_.Reach(), keepPlace ? std::optional(ScrollOffset()) : std::nullopt);
    horizontalScrollBar()->setRange(ranges.minimum.x(), ranges.maximum.x());
    horizontalScrollBar()->setPageStep(client.width());
    verticalScrollBar()->setRange(ranges.minimum.y(), ranges.maximum.y());
    verticalScrollBar()->setPageStep(client.height());
    scrollable_ = ranges.minimum != ranges.maximum;
}

void COMRImageEditorView::SetZoom(double zoom)
{
    if (!present_ || !(zoom > 0)) {
        return;
    }
    zoom_ = zoom;
    canvas_.SetZoom(zoom);
    crop_.SetZoom(float(zoom));
    Relayout(false);
}

void COMRImageEditorView::Rerender()
{
    livePreview_.End();
    canvas_.Render();
    RescaleComposite();
    viewport()->update();
}

void COMRImageEditorView::RescaleComposite()
{
    const QImage& composite = canvas_.Composite();
    // Kept in screen pixels: a high-density screen shows the picture's own
    // pixels, not an enlarged copy at the zoom.
    const qreal ratio = viewport()->devicePixelRatioF();
    const QSize size = (QSizeF(pictureRect_.size()) * ratio).toSize();
    if (composite.isNull() || size.isEmpty() ||
        qint64(size.width()) * size.height() > kScaledCacheLimit) {
        scaled_ = QPixmap();
        return;
    }
    // At 100 % each picture pixel stays a sharp block of screen pixels.
    const Qt::TransformationMode mode =
        zoom_ == 1.0 ? Qt::FastTransformation : Qt::SmoothTransformation;
    scaled_ = QPixmap::fromImage(
        composite.size() == size ? composite : composite.scaled(size, Qt::IgnoreAspectRatio, mode));
    scaled_.setDevicePixelRatio(ratio);
}

void COMRImageEditorView::RefreshTracker()
{
    ShowTracker();
    SetScrollRanges(true); // the margin follows the handles; the picture stays put
}

void COMRImageEditorView::ShowTracker()
{
    if (InCropMode()) {
        crop_.SetOrigin(pictureRect_.left(), pictureRect_.top());
        if (const std::optional<QPainterPath> outline = crop_.ViewOutline(0, 0, false)) {
            tracker_.Select(*outline);
        } else {
            tracker_.Deselect();
        }
    } else if (selected_ >= 1 && canvas_.ItemAt(selected_) != nullptr) {
        selection_ = canvas_.ItemOutlineInView(selected_);
        tracker_.Select(selection_);
    } else {
        tracker_.Deselect();
    }
}

void COMRImageEditorView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const QPoint offset = ScrollOffset();
    painter.translate(-offset);
    const QRect visible(offset, viewport()->size());
    painter.fillRect(visible, Qt::white);
    if (!present_) {
        return;
    }
    if (!scaled_.isNull() && scaled_.devicePixelRatio() != viewport()->devicePixelRatioF()) {
        RescaleComposite(); // the window moved to a screen of another density
    }
    PaintPicture(painter, visible);
    Tool().Paint(painter);
    tracker_.Draw(painter);
}

void COMRImageEditorView::PaintPicture(QPainter& painter, const QRect& visible)
{
    const QRect target = visible & pictureRect_;
    if (Tool().PaintPicture(painter, target)) {
        // The tool draws it (an item being dragged).
    } else if (livePreview_.Active()) {
        livePreview_.Paint(painter, target);
    } else if (!scaled_.isNull()) {
        painter.drawPixmap(QRectF(pictureRect_), scaled_, QRectF(scaled_.rect()));
    } else {
        // Only the visible part, straight from the composite.
        const QRectF source(QPointF(target.topLeft() - pictureRect_.topLeft()) / zoom_,
                            QSizeF(target.size()) / zoom_);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, zoom_ < 1);
        painter.drawImage(QRectF(target), canvas_.Composite(), source);
    }
    // A black line of one pixel around the picture, filled rather than
    // stroked: a stroked line at twice the density covers the picture's edge.
    QPainterPath frame;
    frame.addRect(pictureRect_.adjusted(-1, -1, 1, 1));
    frame.addRect(pictureRect_);
    painter.fillPath(frame, Qt::black);
}

void COMRImageEditorView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    Relayout(false);
}

void COMRImageEditorView::scrollContentsBy(int, int)
{
    viewport()->update();
}

// ---- tools

CViewTool& COMRImageEditorView::Tool()
{
    if (state_.mode == CEditingState::kTextPlacement) {
        return textTool_;
    }
    switch (state_.tool) {
    case CEditingState::kPan:
        return panTool_;
    case CEditingState::kCrop:
        return cropTool_;
    default:
        return editTool_;
    }
}

const CViewTool& COMRImageEditorView::Tool() const
{
    return const_cast<COMRImageEditorView*>(this)->Tool();
}

ToolInput COMRImageEditorView::InputAt(const QPointF& client, Qt::MouseButton button,
                                       Qt::KeyboardModifiers keys) const
{
    return ToolInput{ToView(client), client, button, keys};
}

void COMRImageEditorView::UpdateCursor(const ToolInput& input)
{
    viewport()->setCursor(present_ ? Tool().Cursor(input, spaceHeld_) : QCursor(Qt::ArrowCursor));
}

void COMRImageEditorView::RefreshCursor()
{
    UpdateCursor(InputAt(viewport()->mapFromGlobal(QCursor::pos()), Qt::NoButton,
                         QGuiApplication::keyboardModifiers()));
}

// ---- mouse

void COMRImageEditorView::mousePressEvent(QMouseEvent* event)
{
    const ToolInput input = InputAt(event->position(), event->button(), event->modifiers());
    if (event->button() == Qt::RightButton) {
        pastePoint_ = input.point.toPoint();
        if (tracker_.IsTracking()) {
            tracker_.RightButton(); // cancels the drag
            viewport()->update();
            return;
        }
    } else if (event->button() != Qt::LeftButton) {
        return;
    }
    if (!present_) {
        return;
    }
    if (event->button() == Qt::LeftButton) {
        setFocus(Qt::MouseFocusReason);
    }
    Tool().Press(input);
    UpdateCursor(input);
    viewport()->update();
}

void COMRImageEditorView::mouseMoveEvent(QMouseEvent* event)
{
    const ToolInput input = InputAt(event->position(), Qt::NoButton, event->modifiers());
    if (tracker_.IsTracking()) {
        tracker_.MouseMove(input.point, input.keys);
    } else if (present_) {
        Tool().Move(input);
    }
    viewport()->update();
    UpdateCursor(input); // during a drag, the drag's cursor (it may mirror)
}

void COMRImageEditorView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const ToolInput input = InputAt(event->position(), event->button(), event->modifiers());
    if (tracker_.IsTracking()) {
        const int result = tracker_.Release(input.point, input.keys);
        if (result == CTracker::kTransformed || result == CTracker::kTransformedCtrl) {
            Tool().ApplyTransform(tracker_.Matrix());
        }
    } else if (present_) {
        Tool().Release(input);
    }
    UpdateCursor(input);
    viewport()->update();
}

void COMRImageEditorView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !present_) {
        return;
    }
    const ToolInput input = InputAt(event->position(), event->button(), event->modifiers());
    Tool().DoubleClick(input);
    UpdateCursor(input);
    viewport()->update();
}

bool COMRImageEditorView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Leave) {
        if (!tracker_.IsTracking()) {
            viewport()->unsetCursor();
        }
        editTool_.HideGuide(); // the pointer is no longer over the picture
        viewport()->update();
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void COMRImageEditorView::focusOutEvent(QFocusEvent* event)
{
    // Keys released elsewhere never come back: no key counts as held.
    spaceHeld_ = false;
    // The drag ends when another window takes the input.
    if (tracker_.IsTracking()) {
        tracker_.CaptureLost();
        viewport()->update();
    }
    if (!arrowsHeld_.empty()) {
        arrowsHeld_.clear();
        CommitNudge();
    }
    QAbstractScrollArea::focusOutEvent(event);
}

// ---- keyboard

void COMRImageEditorView::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers keys = event->modifiers();
    // The arrows are the nudge's in every state; they never scroll.
    if (IsArrow(key)) {
        Nudge(key);
        return;
    }
    if (key == Qt::Key_Space) {
        spaceHeld_ = true;
    }
    if (tracker_.IsTracking()) {
        if (tracker_.KeyPress(key, keys) == CTracker::kCancelled) {
            viewport()->update();
        }
    } else if (!present_ || !Tool().Key(key, keys)) {
        if (key != Qt::Key_Space && key != Qt::Key_Control) {
            QAbstractScrollArea::keyPressEvent(event);
            return;
        }
    }
    RefreshCursor();
}

void COMRImageEditorView::keyReleaseEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (event->isAutoRepeat()) {
        return;
    }
    if (key == Qt::Key_Space) {
        spaceHeld_ = false;
    }
    if (IsArrow(key)) {
        arrowsHeld_.erase(key);
        if (arrowsHeld_.empty()) {
            CommitNudge();
        }
        return;
    }
    if (tracker_.IsTracking()) {
        tracker_.KeyRelease(key, event->modifiers());
    }
    if (key == Qt::Key_Space || key == Qt::Key_Control) {
        RefreshCursor();
    }
}

void COMRImageEditorView::Nudge(int key)
{
    if (tracker_.IsTracking() || !present_) {
        return;
    }
    QPoint step = ArrowStep(key);
    arrowsHeld_.insert(key);
    // Another arrow already held across this one makes the step diagonal.
    for (const int held : arrowsHeld_) {
        const QPoint other = ArrowStep(held);
        if (other.x() * step.x() == 0 && other.y() * step.y() == 0 && held != key) {
            step += other;
            break;
        }
    }
    Tool().Nudge(step);
    viewport()->update();
}

void COMRImageEditorView::NudgeSelected(QPoint step)
{
    if (selected_ < 1) {
        return;
    }
    // Only the frame moves while the key is held; the release commits. A
    // new nudge starts from the item itself: a selection made while no frame
    // was shown (in crop mode) left no outline to move.
    if (!nudged_) {
        selection_ = canvas_.ItemOutlineInView(selected_);
    }
    selection_ = QTransform::fromTranslate(step.x(), step.y()).map(selection_);
    tracker_.Select(selection_);
    nudged_ = true;
}

void COMRImageEditorView::CommitNudge()
{
    if (!nudged_) {
        return;
    }
    nudged_ = false;
    if (selected_ >= 1) {
        canvas_.SetItemOutlineFromView(selected_, selection_);
        Rerender();
        RefreshTracker();
        PictureChanged(step::kMove);
    }
}

// ---- what the tools ask of the view

int COMRImageEditorView::HitTest(const QPointF& point) const
{
    return canvas_.HitTest(point.x(), point.y());
}

void COMRImageEditorView::TransformSelected(const QTransform& matrix)
{
    if (selected_ >= 1) {
        canvas_.SetItemOutlineFromView(selected_, matrix.map(selection_));
        Rerender();
        PictureChanged(step::kMove);
    }
    RefreshTracker();
}

void COMRImageEditorView::ShowItemMenu()
{
    if (selected_ >= 0) {
        Send(msg::WithIndexes(msg::kContextMenu, 0, {uint32_t(selected_)}));
    }
}

void COMRImageEditorView::ScrollBy(QPoint delta)
{
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + delta.x());
    verticalScrollBar()->setValue(verticalScrollBar()->value() + delta.y());
}

void COMRImageEditorView::PasteAtCentre()
{
    pastePoint_ = QPoint(-1, -1);
    if (!PasteClipboardPicture()) {
        PasteItem();
    }
}

// ---- selection

void COMRImageEditorView::Select(int index, bool announce)
{
    CommitNudge();
    selected_ = canvas_.ItemAt(index) != nullptr ? index : -1;
    RefreshTracker();
    viewport()->update();
    if (selected_ < 0) {
        return;
    }
    state_.currentItem = canvas_.ItemAt(selected_);
    if (!partOfStep_) { // the state before the step keeps its selection
        history_.NoteSelection(selected_);
    }
    if (announce) {
        Send(msg::WithIndexes(msg::kSelectItems, msg::kFromView, {uint32_t(selected_)}));
    }
    Send(msg::Make(msg::kRefreshPanels));
}

void COMRImageEditorView::DeleteSelected()
{
    if (selected_ == 0) {
        prompter_.Tell(this, QStringLiteral("원본이미지는 삭제할 수 없습니다."));
        return;
    }
    msg::IndexList indexes;
    if (selected_ >= 1) {
        indexes.push_back(uint32_t(selected_));
    }
    Send(msg::WithIndexes(msg::kDeleteItems, 0, std::move(indexes)));
}

void COMRImageEditorView::PictureChanged(const QString& step, CSnapshotStep::Merge merge)
{
    // Without a picture there is nothing to save, so nothing is marked:
    // closing would otherwise ask to save a picture that is not there.
    if (present_ && !partOfStep_) {
        document_.SetModifiedFlag(true);
        history_.Record(step, CCanvasSnapshot::Take(canvas_, selected_), merge);
    }
}

void COMRImageEditorView::Send(msg::Message message) const
{
    if (mainWindow_ != nullptr) {
        mainWindow_->Receive(std::move(message));
    }
}

void COMRImageEditorView::ShowPicture(QImage bitmap, const QString& sourceName)
{
    if (canvas_.Count() > 0) {
        Send(msg::Make(msg::kDeleteItems)); // no list: the panels empty theirs
    }
    selected_ = -1;
    nudged_ = false;
    arrowsHeld_.clear();
    tracker_.Deselect();
    tracker_.SetOptions(CTransformTracker::kViewOptions);
    canvas_.Clear();
    present_ = true;
    state_.mode = CEditingState::kSelect;
    state_.tool = CEditingState::kEditItems;
    crop_.Clear();
    panTool_.Reset();
    cropTool_.Reset();
    zoom_ = 1.0;
    canvas_.SetZoom(zoom_);
    pictureSize_ = bitmap.size();
    CPictureItem* base = canvas_.AddPicture(std::move(bitmap), 0, 0, 0, 0, float(zoom_));
    base->SetSourceName(sourceName);
    // The old current item went with the canvas; the panels may read the
    // current item as soon as the messages below reach them.
    state_.currentItem = base;
    Relayout(true);
    Rerender();
    placements_.PictureOpened(sourceName);
    Send(msg::WithIndexes(msg::kSelectItems, msg::kFromView, {0}));
    Send(msg::Make(msg::kZoom, msg::kZoomToolBarOnly, 100));
    selected_ = 0;
    Send(msg::Make(msg::kRefreshPanels));
    Send(msg::Make(msg::kZoom, msg::kZoomToolBarOnly, long(zoom_ * 100)));
    StartHistory();
}
