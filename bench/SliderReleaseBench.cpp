// Times a finished slider change of the image tool panel on a 12-megapixel
// photo with hue, contrast and sharpen effects on the base picture and 20
// stickers: the key that sets the hue slider, through the page writing the
// item's effects and asking for a re-render, to the composite rendered again
// and the view repainted. Also times one step of a drag (the effects
// written, no re-render).

#include "BenchEditor.h"
#include "BenchSticker.h"
#include "BenchTimer.h"
#include "CEditingState.h"
#include "CHueSaturationPage.h"
#include "CImageToolPanel.h"
#include "CItemCanvas.h"
#include "CMessageRouter.h"
#include "COMRImageEditorDoc.h"
#include "COMRImageEditorView.h"
#include "CValueSlider.h"
#include "CommandIds.h"

#include <QKeyEvent>

#include <ctime>

namespace {

// A photo-like 4000 × 3000 picture: smooth gradients with fine detail.
QImage Photo()
{
    QImage photo(4000, 3000, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x) {
            row[x] =
                qRgb((x / 16 + (x * y) % 7) & 255, (y / 12 + x % 5) & 255, ((x + y) / 28) & 255);
        }
    }
    return photo;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    CBenchPrompter prompter(Photo());
    CBenchEditor editor(prompter);
    COMRImageEditorView& view = editor.view;
    CRouterFrame& frame = editor.frame;
    editor.OpenWithStickers();
    view.Receive(msg::WithIndexes(msg::kSelectItems, msg::kFromItemsPanel, {0}));

    CImageToolPanel panel(&frame);
    panel.resize(214, 600);
    panel.show();
    ItemEffects& effects = CEditingState::Instance().currentItem->Effects();
    effects.hue = 20;
    effects.contrast = 1.2f;
    effects.sharpenAmount = 1.5f;
    effects.sharpenRadius = 1.5f;
    frame.Receive(msg::Make(msg::kEffectsChanged));
    panel.Refresh();
    auto* hue = panel.HueSaturationPage()->findChild<CValueSlider*>(
        QString::number(CHueSaturationPage::kHueSlider));
    QWidget* viewport = view.viewport();
    std::printf("4000x3000 photo (hue, contrast, sharpen) + 20 stickers, view 1000x700\n");

    int turn = 0;
    auto release = [&] {
        QKeyEvent key(QEvent::KeyPress, ++turn % 2 ? Qt::Key_Right : Qt::Key_Left, Qt::NoModifier);
        QApplication::sendEvent(hue, &key);
        viewport->repaint();
    };
    PrintFigure("slider release (effects + render + repaint)", MedianMilliseconds(15, release));
    // The processor time of all threads per release: what the release costs
    // whatever else runs on the machine (wall time on a busy machine waits
    // for the processor as well).
    const std::clock_t start = std::clock();
    for (int run = 0; run < 15; ++run) {
        release();
    }
    PrintFigure("  processor time per release (all threads)",
                1000.0 * double(std::clock() - start) / CLOCKS_PER_SEC / 15);
    SendMouse(hue, QEvent::MouseButtonPress, QPoint(hue->CentreOf(hue->Position()), 5));
    int step = 0;
    const double move = MedianMilliseconds(200, [&] {
        const int position = 20 + ++step % 40;
        SendMouse(hue, QEvent::MouseMove, QPoint(hue->CentreOf(position), 5));
    });
    std::printf("%-40s %9.3f ms\n", "slider move (effects written only)", move);
    return 0;
}
