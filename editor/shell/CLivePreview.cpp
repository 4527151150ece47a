#include "CLivePreview.h"

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
