#pragma once

#include <QObject>
#include <QPointF>

class CMessageReceiver;
class CToolHost;
class QAbstractScrollArea;
class QKeyEvent;
class QWheelEvent;

// The wheel and the zoom keys over the editing view. The wheel scrolls (the
// scroll area's own handling); Ctrl+wheel zooms one step of the zoom page per
// notch about the picture point under the pointer; Ctrl+= (or Ctrl++) and
// Ctrl+- zoom about the middle of the window; Ctrl+0 fits the picture to the
// window. A zoom goes to the main window, which hands it to the zoom page and
// back to the view, so the page follows. Nothing zooms during a drag.
class CViewZoom : public QObject
{
public:
    CViewZoom(QAbstractScrollArea& area, CToolHost& host, CMessageReceiver* mainWindow);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Wheel(const QWheelEvent& event);
    bool Key(const QKeyEvent& event);
    // One step in or out, the picture point under `anchor` (window
    // coordinates) staying where it is.
    void Step(bool in, const QPointF& anchor);
    bool Ready() const;

    QAbstractScrollArea& area_;
    CToolHost& host_;
    CMessageReceiver* mainWindow_;
    int wheelTurned_ = 0; // eighths of a degree not yet taken as a step
};
