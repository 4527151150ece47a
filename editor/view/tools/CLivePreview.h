#pragma once

#include "CPreviewRenderer.h"

#include <QImage>
#include <QObject>
#include <QTimer>

class CItemCanvas;
class QPainter;
class QWidget;

// The view's live preview while a slider of the adjustment pages or the
// opacity slider is dragged. Each request marks the preview stale; the
// surface is repainted at most once per display frame, and a repaint renders
// the visible part afresh from the items' current effects, so however fast
// the requests come, no stale frame is ever drawn. The full render on release
// ends the preview.
//
// While an item is dragged the same proxies show it at its new place on
// every frame (Hold, PaintHeld); only the visible part is drawn.
class CLivePreview : public QObject
{
    Q_OBJECT

public:
    CLivePreview(QWidget& surface, const CItemCanvas& canvas);

    // An effect changed during a drag.
    void Request();
    // The composite is up to date again.
    void End();
    bool Active() const { return active_; }
    // Draws the picture's part `area` (view coordinates), rendered anew when
    // stale.
    void Paint(QPainter& painter, const QRect& area);

    // A drag of the item at canvas index `index` begins.
    void Hold(int index);
    // Draws the picture's part `area` with the held item moved by `move`
    // (view coordinates to view coordinates).
    void PaintHeld(QPainter& painter, const QRect& area, const QTransform& move);

    // The last frame drawn, and how many were rendered.
    const QImage& Frame() const { return frame_; }
    int FramesRendered() const { return framesRendered_; }

private:
    void FrameDue();

    QWidget& surface_;
    const CItemCanvas& canvas_;
    CPreviewRenderer renderer_;
    QTimer pace_;
    QImage frame_;
    QRect frameArea_;
    int held_ = -1;
    bool refit_ = false; // the proxies take the sizes of the drag's start
    bool active_ = false;
    bool stale_ = false;
    int framesRendered_ = 0;
};
