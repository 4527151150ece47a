#include "CLivePreview.h"

#include "CItemCanvas.h"

#include <QPainter>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace {

// One frame of the surface's screen, in milliseconds (60 Hz when unknown).
int FrameInterval(const QWidget& surface)
{
    const QScreen* screen = surface.screen();
    const double rate = screen != nullptr && screen->refreshRate() > 1 ? screen->refreshRate() : 60;
    return std::max(1, int(std::floor(1000.0 / rate)));
}

} // namespace

CLivePreview::CLivePreview(QWidget& surface, const CItemCanvas& canvas)
    : surface_(surface), canvas_(canvas)
{
    pace_.setSingleShot(true);
    connect(&pace_, &QTimer::timeout, this, &CLivePreview::FrameDue);
}

void CLivePreview::Request()
{
    active_ = true;
    stale_ = true;
    // The first change shows at once; later ones wait for the next frame.
    if (!pace_.isActive()) {
        FrameDue();
    }
}

void CLivePreview::FrameDue()
{
    if (!active_ || !stale_) {
        return;
    }
    surface_.update();
    pace_.start(FrameInterval(surface_));
}

void CLivePreview::End()
{
    active_ = false;
    stale_ = false;
    pace_.stop();
    held_ = -1;
    frame_ = QImage(); // the composite shows again; nothing to keep
}

void CLivePreview::Paint(QPainter& painter, const QRect& area)
{
    if (area.isEmpty()) {
        return;
    }
    if (stale_ || area != frameArea_ || frame_.isNull()) {
        frame_ = renderer_.Render(canvas_, area);
        frameArea_ = area;
        stale_ = false;
        ++framesRendered_;
    }
    painter.drawImage(area.topLeft(), frame_);
}

void CLivePreview::Hold(int index)
{
    held_ = index;
    refit_ = true;
}

void CLivePreview::PaintHeld(QPainter& painter, const QRect& area, const QTransform& move)
{
    const CItem* item = canvas_.ItemAt(held_);
    if (area.isEmpty() || item == nullptr) {
        return;
    }
    if (refit_) {
        // Proxies left from another zoom are scaled to this one before the
        // held item's proxy keeps its size for the rest of the drag.
        renderer_.Render(canvas_, area);
        refit_ = false;
    }
    frame_ = renderer_.Render(canvas_, area, {item, move});
    frameArea_ = area;
    ++framesRendered_;
    painter.drawImage(area.topLeft(), frame_);
}
