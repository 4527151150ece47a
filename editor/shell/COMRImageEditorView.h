#pragma once

#include "AppSettings.h"
#include "CCropSelection.h"
#include "CFileCommands.h"
#include "CFrameView.h"
#include "CTransformTracker.h"
#include "CViewLayout.h"

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
// items selected and transformed with the mouse and the keyboard through the
// transform tracker, panning, crop mode with its selection, the file
// the picture commands and the private messages of the main frame. The file
// commands are CFileCommands'; the view shows the picture they hand it. All positions are in
// view coordinates (scroll space); the canvas converts to picture pixels.
class COMRImageEditorView : public QAbstractScrollArea, public CFrameView, public CPictureSurface
{
    Q_OBJECT

public:
    static constexpr int kHandleSize = 6;
    static const QColor kGuideColour;

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
    void OpenDocument(const QString& path) override;
    bool CanClose() override;
    bool InCropMode() const override;
    int ItemCount() const override;
    void SetPlacementReceiver(CPlacementReceiver* placements) override;
    void Receive(msg::Message message) override;

    // CPictureSurface
    QWidget* DialogParent() override { return this; }
    void ShowPicture(QImage bitmap, const QString& sourceName) override;
    void ForgetCopy() override;

    bool PicturePresent() const { return present_; }
    double Zoom() const { return zoom_; }
    QRect PictureRect() const { return pictureRect_; }
    bool Scrollable() const { return scrollable_; }
    int SelectedIndex() const { return selected_; }
    const CTransformTracker& Tracker() const { return tracker_; }
    const CCropSelection& CropSelection() const { return crop_; }
    const CPictureFile& File() const { return files_.File(); }
    QPoint ScrollOffset() const;

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
    // Layout and painting.
    void Relayout(bool fit);
    void SetZoom(double zoom);
    void Rerender();
    void RescaleComposite();
    void RefreshTracker();
    std::optional<QPainterPath> CropViewOutline() const;
    QPointF ToView(const QPointF& client) const;
    void PaintPicture(QPainter& painter, const QRect& visible) const;
    void PaintGuideline(QPainter& painter, const QRect& visible) const;
    QCursor CursorAt(const QPointF& point, Qt::KeyboardModifiers keys) const;
    void UpdateCursor(const QPointF& point, Qt::KeyboardModifiers keys);
    void RefreshCursor();

    // Selection and item editing.
    // Selects a canvas index (−1: none); `announce` tells the frame with 0x48D.
    void Select(int index, bool announce = true);
    void PressEdit(const QPointF& point, Qt::KeyboardModifiers keys);
    void PressRight(const QPointF& point);
    void ApplyTrackerMatrix();
    bool Nudge(int key);
    void CommitNudge();
    void DeleteSelected();
    void PictureChanged();
    void Send(msg::Message message) const;

    // Pan and crop.
    void PressCrop(const QPointF& point, Qt::KeyboardModifiers keys);
    void ReleaseBand(const QPointF& point);
    void ToggleCrop();
    void LeaveCrop();
    void CancelCrop();
    void Crop();
    void CropMenu(const QPointF& point);
    void ToggleMove();
    void FitToWindow();

    // Picture commands.
    void Turn(int id);
    void CopyItem();
    void PasteItem();
    void PlaceItems(const msg::ItemDropRequest& request);
    void DeleteItems(const std::optional<msg::IndexList>& indexes);
    void MoveItem(int from, int to);

    void TellPlaced(const CItem& item) const;

    COMRImageEditorDoc& document_;
    CMessageReceiver* mainWindow_;
    CPrompter& prompter_;
    CItemCanvas& canvas_;
    CEditingState& state_;
    CFileCommands files_;
    CPlacementReceiver* placements_ = nullptr;

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
    bool guideline_ = false;
    std::optional<QPointF> guide_;
    bool panning_ = false;
    QPoint panLast_;
    std::set<int> arrowsHeld_;
    bool nudged_ = false;
    bool spaceHeld_ = false;
    CCropSelection crop_;
    std::optional<QRectF> band_; // the free crop's rubber band while drawn
};
