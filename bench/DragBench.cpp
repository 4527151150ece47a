// Frames of an item drag on a 6000 × 4000 photo with 20 stickers in a
// 1000 × 700 view: every move with the button held and the repaint it asks
// for (the item drawn at its new place from the preview's proxies, with its
// outline), for a move, a scale by the corner handle and a turn by the round
// handle at the fitted zoom, and a move at 50 % and 100 %; then the release
// (the item stored, the composite rendered, the picture repainted).

#include "BenchEditor.h"
#include "BenchPhoto.h"
#include "BenchTimer.h"
#include "CTransformTracker.h"

#include <QScrollBar>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr int kFrames = 121;

QPoint OnScreen(const COMRImageEditorView& view, const QPointF& point)
{
    return (point - view.ScrollOffset()).toPoint();
}

// One drag from `from` along the points `path(step)`; prints the first
// frame, the median and the 95th percentile of the others, and the release.
void Drag(const char* name, COMRImageEditorView& view, QPoint from,
          const std::function<QPoint(int step)>& path)
{
    QWidget* viewport = view.viewport();
    SendMouse(viewport, QEvent::MouseButtonPress, from);
    std::vector<double> times;
    double first = 0;
    for (int step = 1; step <= kFrames; ++step) {
        QElapsedTimer timer;
        timer.start();
        SendMouse(viewport, QEvent::MouseMove, path(step));
        viewport->repaint();
        (step == 1 ? first : times.emplace_back()) = Milliseconds(timer);
    }
    QElapsedTimer timer;
    timer.start();
    SendMouse(viewport, QEvent::MouseButtonRelease, path(kFrames));
    viewport->repaint();
    const double release = Milliseconds(timer);
    const Figures frames = Spread(times);
    std::printf("%-24s first %6.1f  median %6.1f  p95 %6.1f  release %6.1f ms\n", name, first,
                frames.median, frames.p95, release);
}

// A move to and fro around the selected item's centre.
void MoveDrag(const char* name, COMRImageEditorView& view)
{
    const QPoint centre = OnScreen(view, view.Tracker().FrameRect().center());
    Drag(name, view, centre, [centre](int step) {
        const double angle = step * 2 * std::numbers::pi / 40;
        return centre + QPoint(int(60 * std::sin(angle)), int(40 * std::sin(2 * angle)));
    });
}

// Scrolls the selected item to the middle of the window.
void CentreSelection(COMRImageEditorView& view)
{
    const QPointF centre = view.Tracker().FrameRect().center();
    view.horizontalScrollBar()->setValue(int(centre.x()) - view.viewport()->width() / 2);
    view.verticalScrollBar()->setValue(int(centre.y()) - view.viewport()->height() / 2);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    CBenchPrompter prompter(BenchPhoto());
    CBenchEditor editor(prompter);
    COMRImageEditorView& view = editor.view;
    editor.OpenWithStickers(); // the last sticker stays selected
    std::printf("6000x4000 photo + 20 stickers (256x256), view 1000x700, zoom %.3f\n", view.Zoom());

    MoveDrag("move, fitted", view);
    const CTransformTracker& tracker = view.Tracker();
    const QPoint corner = OnScreen(view, tracker.HandlePoint(4));
    Drag("scale, fitted", view, corner,
         [corner](int step) { return corner + QPoint(step % 40, step % 40) * 2; });
    const QPoint knob = OnScreen(view, tracker.RotateHandlePoint());
    const QPoint pivot = OnScreen(view, tracker.Pivot());
    Drag("turn, fitted", view, knob, [knob, pivot](int step) {
        const double angle = step * 2 * std::numbers::pi / kFrames;
        const QPoint arm = knob - pivot;
        return pivot + QPoint(int(arm.x() * std::cos(angle) - arm.y() * std::sin(angle)),
                              int(arm.x() * std::sin(angle) + arm.y() * std::cos(angle)));
    });
    for (const int percent : {50, 100}) {
        view.Receive(msg::Make(msg::kZoom, msg::kZoomViewOnly, percent));
        CentreSelection(view);
        view.viewport()->repaint();
        MoveDrag(percent == 50 ? "move, 50 %" : "move, 100 %", view);
    }
    return 0;
}
