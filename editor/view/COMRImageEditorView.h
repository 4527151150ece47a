#pragma once

#include "AppSettings.h"
#include "CCropSelection.h"
#include "CCropTool.h"
#include "CDropHandler.h"
#include "CEditTool.h"
#include "CFileCommands.h"
#include "CFrameView.h"
#include "CLivePreview.h"
#include "CPanTool.h"
#include "CPictureCommands.h"
#include "CPlacementTeller.h"
#include "CTextTool.h"
#include "CTransformTracker.h"
#include "CUndoHistory.h"
#include "CViewLayout.h"
#include "CViewTool.h"
#include "CViewZoom.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QPainterPath>
#include <QPixmap>

#include <memory>
#include <set>

class CItem;
class QPainter;
class CItemCanvas;
class COMRImageEditorDoc;
struct CEditingState;

// The editing surface: the picture centred at its zoom in a scrolled area,
// painted with the tracker's frame; the mouse and key input of each tool state
// (edit items, pan, crop) goes to that state's CViewTool, which sends its
// commands back through CToolHost; the picture commands and the private
// messages of the main frame. The file commands are CFileCommands'; the view
// shows the picture they hand it. All positions are in
// view coordinates (scroll space); the canvas converts to picture pixels.
class COMRImageEditorView : public QAbstractScrollArea,
                            public CFrameView,
                            public CPictureSurface,
                            private CToolHost
{
    Q_OBJECT

public:
    static constexpr int kHandleSize = 6;

    // `mainWindow` takes the messages the view sends; `prompter` tells and
    // asks the user.
    COMRImageEditorView(COMRImageEditorDoc& document, AppSettings& settings,
                        CMessageReceiver* mainWindow, CPrompter& prompter,
                        QWidget* parent = nullptr);
    ~COMRImageEditorView() override;

    // CFrameView
    QWidget* Widget() override { return this; }
    bool RunCommand(int id) override;
    std::optional<CommandState> CommandStatus(int id) const override;
    std::optional<QString> CommandText(int id) const override;
    void OpenDocument(const QString& path) override;
    bool CanClose() override;
    bool InCropMode() const override;
    int ItemCount() const override;
    void SetPlacementReceiver(CPlacementReceiver* placements) override;
    QObject* DropFilter() override { return drops_.get(); }
    void Receive(msg::Message message) override;

    // CPictureSurface
    QWidget* DialogParent() override { return this; }
    void ShowPicture(QImage bitmap, const QString& sourceName) override;
    void ShowProject(ProjectContent project) override;
    void ForgetCopy() override;
    void PictureSaved() override;

    bool PicturePresent() const { return present_; }
    double Zoom() const override { return zoom_; }
    QRect PictureRect() const override { return pictureRect_; }
    bool Scrollable() const { return scrollable_; }
    int SelectedIndex() const override { return selected_; }
    const CTransformTracker& Tracker() const { return tracker_; }
    const CCropSelection& CropSelection() const { return crop_; }
    const CPictureFile& File() const { return files_.File(); }
    CFileCommands& Files() { return files_; }
    const CLivePreview& LivePreview() const { return livePreview_; }
    QPoint ScrollOffset() const;
    const CUndoHistory& History() const { return history_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    // CToolHost
    CTransformTracker& ViewTracker() override { return tracker_; }
    CCropSelection& CropRegion() override { return crop_; }
    CLivePreview& Preview() override { return livePreview_; }
    int HitTest(const QPointF& point) const override;
    void Select(int index) override { Select(index, true); }
    void TransformSelected(const QTransform& matrix) override;
    void NudgeSelected(QPoint step) override;
    void DeleteSelected() override;
    void CopyItem() override;
    void PasteAtCentre() override;
    void ShowItemMenu() override;
    void ScrollBy(QPoint delta) override;
    void ToggleMove() override;
    void FitToWindow() override;
    void RefreshTracker() override;
    void PlaceText(const QPointF& point) override;
    bool EditText(int index) override;
    void ToggleTextPlacement() override;
    void CropMenu(const QPointF& point) override;
    void Crop() override;
    void CancelCrop() override;
    void LeaveCrop() override;

    // Layout and painting.
    void Relayout(bool fit);
    // The scroll bars reach the picture and every handle of the tracker;
    // `keepPlace` keeps the part shown where it is.
    void SetScrollRanges(bool keepPlace);
    // The tracker on the selected item or the crop selection.
    void ShowTracker();
    void SetZoom(double zoom);
    void Rerender();
    void RescaleComposite();
    QPointF ToView(const QPointF& client) const;
    ToolInput InputAt(const QPointF& client, Qt::MouseButton button,
                      Qt::KeyboardModifiers keys) const;
    void PaintPicture(QPainter& painter, const QRect& visible);
    void UpdateCursor(const ToolInput& input);
    void RefreshCursor();

    // The tool of the current tool state.
    CViewTool& Tool();
    const CViewTool& Tool() const;

    // Selection and item editing.
    // Selects a canvas index (−1: none); `announce` tells the frame with 0x48D.
    void Select(int index, bool announce);
    void Nudge(int key);
    void CommitNudge();
    // Marks the picture changed and records the edit as an undo step.
    void PictureChanged(const QString& step, CSnapshotStep::Merge merge = {});
    void Send(msg::Message message) const;

    // Crop mode.
    void ToggleCrop();

    // Picture commands.
    void Turn(int id);
    // Turns or mirrors the crop selection with the picture (turn 0..4: right,
    // 180, left, mirror left-right, mirror top-bottom; `size` the picture's
    // size before).
    void TurnCropSelection(int turn, QSizeF size);
    void PasteItem();
    // Places the clipboard's picture when Ctrl+V should paste it rather than
    // the copied item; false when it should not.
    bool PasteClipboardPicture();
    CDropHandler::Site DropSite();
    void PlaceItems(const msg::ItemDropRequest& request);
    void DeleteItems(const std::optional<msg::IndexList>& indexes);
    void MoveItem(int from, int to);
    // Stretches an item over the whole picture, as a frame sticker needs.
    void FitToPicture(int index);
    // The items above the base picture were drawn into it: they go, and the
    // frame is told (0x48E, from the top down).
    void DropMergedItems();
    // False, after telling the user, while there is no picture.
    bool PictureOrRefuse();
    // Insert and append of picture files, and new or edited text
    // (COMRImageEditorViewPictures.cpp).
    void InsertPicture();
    void AppendPicture();
    void PictureResized();
    // Tells the panels the base picture's size in pixels.
    void SendBaseSize() const;
    bool SelectedIsText() const;

    // Undo and redo (COMRImageEditorViewHistory.cpp).
    void UndoStep(bool redo);
    // Puts a snapshot of the history back: canvas, screen, selection, panels.
    void RestoreSnapshot(const CCanvasSnapshot& snapshot);
    void EffectsChanged(int slider);
    void StartHistory();
    // The document is modified exactly while the history is away from the
    // saved state.
    void CleanChanged(bool clean);

    COMRImageEditorDoc& document_;
    CMessageReceiver* mainWindow_;
    CPrompter& prompter_;
    CItemCanvas& canvas_;
    CEditingState& state_;
    CFileCommands files_;
    CPlacementTeller placements_;

    bool present_ = false;
    QSizeF pictureSize_;
    double zoom_ = 1.0;
    QRect pictureRect_;
    QSize total_;
    bool scrollable_ = false;
    QPixmap scaled_; // the composite at the zoom, what a repaint draws

    int selected_ = -1;
    QPainterPath selection_; // the selected item's outline (view coordinates)
    CTransformTracker tracker_;
    std::unique_ptr<CItem> copied_;
    QPoint pastePoint_{-1, -1};
    std::set<int> arrowsHeld_;
    bool nudged_ = false;
    bool spaceHeld_ = false;
    CCropSelection crop_;
    CEditTool editTool_{*this};
    CPanTool panTool_{*this};
    CCropTool cropTool_{*this};
    CTextTool textTool_{*this};
    CPictureCommands pictures_{prompter_, canvas_};
    // While set, edits are part of a larger one that records the step
    // itself (the delete of merged items within a crop or an append).
    bool partOfStep_ = false;
    CUndoHistory history_{[this](const CCanvasSnapshot& snapshot) { RestoreSnapshot(snapshot); },
                          [this](bool clean) { CleanChanged(clean); }};
    CLivePreview livePreview_{*viewport(), canvas_}; // while a slider or an item is dragged
    CViewZoom wheelAndKeys_{*this, *this, mainWindow_};
    std::unique_ptr<CDropHandler> drops_;
};
