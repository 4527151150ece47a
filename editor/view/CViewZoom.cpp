#include "CViewZoom.h"

#include "CMessageReceiver.h"
#include "CTransformTracker.h"
#include "CViewTool.h"
#include "CZoomPage.h"
#include "Messages.h"

#include <QAbstractScrollArea>
#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <cmath>
#include <cstdlib>

namespace {

// One notch of a common mouse wheel, in eighths of a degree.
constexpr int kNotch = 120;

} // namespace

CViewZoom::CViewZoom(QAbstractScrollArea& area, CToolHost& host, CMessageReceiver* mainWindow)
    : area_(area), host_(host), mainWindow_(mainWindow)
{
    area.installEventFilter(this);
    area.viewport()->installEventFilter(this);
}

bool CViewZoom::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Wheel && watched == area_.viewport()) {
        return Wheel(*static_cast<QWheelEvent*>(event));
    }
    if (event->type() == QEvent::KeyPress && watched == &area_) {
        return Key(*static_cast<QKeyEvent*>(event));
    }
    return false;
}

bool CViewZoom::Ready() const
{
    return mainWindow_ != nullptr && !host_.PictureRect().isEmpty() &&
           !host_.ViewTracker().IsTracking();
}

bool CViewZoom::Wheel(const QWheelEvent& event)
{
    if (!(event.modifiers() & Qt::ControlModifier)) {
        wheelTurned_ = 0;
        return false; // the scroll area scrolls
    }
    if (Ready()) {
        // Fine-grained wheels and touch pads send parts of a notch.
        wheelTurned_ += event.angleDelta().y();
        while (std::abs(wheelTurned_) >= kNotch) {
            const bool in = wheelTurned_ > 0;
            wheelTurned_ -= in ? kNotch : -kNotch;
            Step(in, event.position());
        }
    }
    return true; // Ctrl+wheel never scrolls
}

bool CViewZoom::Key(const QKeyEvent& event)
{
    if (!(event.modifiers() & Qt::ControlModifier) || !Ready()) {
        return false;
    }
    const QPointF middle = QRectF(area_.viewport()->rect()).center();
    switch (event.key()) {
    case Qt::Key_Equal:
    case Qt::Key_Plus:
        Step(true, middle);
        return true;
    case Qt::Key_Minus:
        Step(false, middle);
        return true;
    case Qt::Key_0:
        host_.FitToWindow();
        return true;
    default:
        return false;
    }
}

void CViewZoom::Step(bool in, const QPointF& anchor)
{
    const double zoom = host_.Zoom();
    const int percent = int(std::floor(zoom * 100 + 1e-6));
    const int next = in ? CZoomPage::ZoomInStep(percent) : CZoomPage::ZoomOutStep(percent);
    if (next == percent) {
        return;
    }
    QScrollBar& across = *area_.horizontalScrollBar();
    QScrollBar& down = *area_.verticalScrollBar();
    const QPointF scroll(across.value(), down.value());
    const QPointF spot = (anchor + scroll - QPointF(host_.PictureRect().topLeft())) / zoom;
    mainWindow_->Receive(msg::Make(msg::kZoom, msg::kZoomToolBarAndView, next));
    // The view has laid the picture out at the new zoom.
    const QPointF place = QPointF(host_.PictureRect().topLeft()) + spot * host_.Zoom() - anchor;
    across.setValue(int(std::lround(place.x())));
    down.setValue(int(std::lround(place.y())));
}
