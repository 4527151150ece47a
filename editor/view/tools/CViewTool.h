#pragma once

#include <QCursor>
#include <QPoint>
#include <QPointF>
#include <Qt>

class CCropSelection;
class CLivePreview;
class CTransformTracker;
class QPainter;
class QTransform;

// One mouse or key input as a tool sees it: the point in view coordinates
// (scroll space, where the canvas hit-tests and the tracker works), the same
// point in the window, the button and the keys held.
struct ToolInput
{
    QPointF point;
    QPointF client;
    Qt::MouseButton button = Qt::NoButton;
    Qt::KeyboardModifiers keys;
};

// What the tools may do to the view: the commands they send out. The view
// implements it; a tool never reaches the canvas or the frame otherwise.
class CToolHost
{
public:
    virtual ~CToolHost() = default;

    virtual CTransformTracker& ViewTracker() = 0;
    virtual CCropSelection& CropRegion() = 0;
    // Draws the picture from screen-sized proxies (an item while dragged).
    virtual CLivePreview& Preview() = 0;
    virtual double Zoom() const = 0;
    virtual QRect PictureRect() const = 0;

    // Items: the selected canvas index (−1 none, 0 the base picture).
    virtual int SelectedIndex() const = 0;
    virtual int HitTest(const QPointF& point) const = 0;
    virtual void Select(int index) = 0;
    virtual void TransformSelected(const QTransform& matrix) = 0;
    virtual void NudgeSelected(QPoint step) = 0;
    virtual void DeleteSelected() = 0;
    virtual void CopyItem() = 0;
    virtual void PasteAtCentre() = 0;
    virtual void ShowItemMenu() = 0;

    // Panning.
    virtual void ScrollBy(QPoint delta) = 0;
    virtual void ToggleMove() = 0;
    virtual void FitToWindow() = 0;

    // Text: new text at a point (leaving text placement), and the text
    // dialog for an item in place (false when it is not a text item).
    virtual void PlaceText(const QPointF& point) = 0;
    virtual bool EditText(int index) = 0;
    virtual void ToggleTextPlacement() = 0;

    // Crop mode.
    virtual void RefreshTracker() = 0;
    virtual void CropMenu(const QPointF& point) = 0;
    virtual void Crop() = 0;
    virtual void CancelCrop() = 0;
    virtual void LeaveCrop() = 0;
};

// The input of one tool state of the view: edit items, pan, crop, and text
// placement, which takes the input while it is on. The view hands each
// press, move, release, key and arrow-key nudge to the tool of the current
// state, except what belongs to a tracker drag under way; a drag that ends
// with a change comes back to the tool as its matrix.
class CViewTool
{
public:
    virtual ~CViewTool() = default;

    virtual void Press(const ToolInput& input) = 0;
    virtual void Move(const ToolInput&) {}
    virtual void Release(const ToolInput&) {}
    virtual void DoubleClick(const ToolInput&) {}
    // A key press outside a drag; false leaves the key to the view.
    virtual bool Key(int, Qt::KeyboardModifiers) { return false; }
    // One arrow-key step, in view pixels.
    virtual void Nudge(QPoint) {}
    // A tracker drag ended with this transform.
    virtual void ApplyTransform(const QTransform&) {}
    virtual QCursor Cursor(const ToolInput& input, bool spaceHeld) const = 0;
    // Draws the picture's visible part `area` (view coordinates) in place of
    // the view; false leaves it to the view.
    virtual bool PaintPicture(QPainter&, const QRect&) const { return false; }
    // Draws what the tool shows over the picture, under the tracker.
    virtual void Paint(QPainter&) const {}
    // Drops a drag under way (the tool state changes or the crop is cancelled).
    virtual void Reset() {}
};
