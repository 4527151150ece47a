// Times undo and redo of one step on a 24-megapixel photo with 20 stickers:
// from the command to the composite rendered again, the panels told and the
// view repainted. Each kind of step is made once, then undone and redone in
// turn; the figures are medians.

#include "BenchEditor.h"
#include "BenchSticker.h"
#include "BenchTimer.h"
#include "CEditingState.h"
#include "CItemCanvas.h"
#include "CMessageRouter.h"
#include "COMRImageEditorDoc.h"
#include "COMRImageEditorView.h"
#include "CommandIds.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>

#include <ctime>
#include <functional>

namespace {

// A 6000 × 4000 picture with gradients across it.
QImage LargePhoto()
{
    QImage photo(6000, 4000, QImage::Format_RGB32);
    QPainter painter(&photo);
    QLinearGradient across(0, 0, 6000, 4000);
    across.setColorAt(0, QColor(30, 80, 160));
    across.setColorAt(0.5, QColor(240, 200, 120));
    across.setColorAt(1, QColor(40, 120, 60));
    painter.fillRect(photo.rect(), across);
    return photo;
}

// Crops keep the stickers where they are (the question is answered no).
class CCropPrompter : public CBenchPrompter
{
public:
    using CBenchPrompter::CBenchPrompter;
    Answer Ask(QWidget*, const QString&) override { return kNo; }
};

struct Step
{
    const char* name;
    std::function<void()> make;
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    CCropPrompter prompter(LargePhoto());
    CBenchEditor editor(prompter);
    COMRImageEditorView& view = editor.view;
    editor.OpenWithStickers();
    std::printf("6000x4000 photo + 20 stickers, view 1000x700; undo or redo of one step:\n");

    const auto select = [&](int index) {
        view.Receive(msg::WithIndexes(msg::kSelectItems, msg::kFromItemsPanel, {uint32_t(index)}));
    };
    const auto effects = [&](int index, int hue) {
        select(index);
        CEditingState::Instance().currentItem->Effects().hue = hue;
        view.Receive(msg::Make(msg::kEffectsChanged, 1004));
    };
    const auto key = [&](QEvent::Type type) {
        QKeyEvent event(type, Qt::Key_Right, Qt::NoModifier);
        QApplication::sendEvent(&view, &event);
    };
    const Step steps[] = {
        {"sticker nudge",
         [&] {
             select(5);
             key(QEvent::KeyPress);
             key(QEvent::KeyRelease);
         }},
        {"sticker effect", [&] { effects(7, 40); }},
        {"photo effect (hue)", [&] { effects(0, 30); }},
        {"sticker delete",
         [&] {
             select(9);
             view.Receive(msg::WithIndexes(msg::kDeleteItems, 0, {9}));
         }},
        {"z-order move",
         [&] {
             view.Receive(msg::WithIndexes(msg::kMoveItem, 0, {3, 12}));
         }},
        {"photo rotate",
         [&] {
             select(0);
             view.RunCommand(cmd::kRotateRight);
         }},
        {"photo crop",
         [&] {
             view.RunCommand(cmd::kCropFree);
             SendMouse(view.viewport(), QEvent::MouseButtonPress, QPoint(200, 150));
             SendMouse(view.viewport(), QEvent::MouseMove, QPoint(500, 400));
             SendMouse(view.viewport(), QEvent::MouseButtonRelease, QPoint(800, 600));
             view.RunCommand(cmd::kCrop);
         }},
    };
    for (const Step& step : steps) {
        step.make();
        const int done = view.History().Index();
        bool undo = true;
        const auto turn = [&] {
            view.RunCommand(undo ? cmd::kUndo : cmd::kRedo);
            view.viewport()->repaint();
            undo = !undo;
        };
        const double wall = MedianMilliseconds(20, turn);
        // The processor time of all threads per undo or redo: what it costs
        // whatever else runs on the machine.
        const std::clock_t start = std::clock();
        for (int run = 0; run < 20; ++run) {
            turn();
        }
        const double processor = 1000.0 * double(std::clock() - start) / CLOCKS_PER_SEC / 20;
        if (view.History().Index() != done) {
            std::printf("%s: the step was not redone\n", step.name);
            return 1;
        }
        std::printf("%-24s %9.1f ms wall %9.1f ms processor\n", step.name, wall, processor);
    }
    return 0;
}
