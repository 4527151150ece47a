// The live preview and opening on a 6000 × 4000 photo with 20 stickers in a
// 1000 × 700 view, driven through the real image tool panel: frames of a hue
// drag (plain, then with sharpen 2, 2 on the photo), the release that
// renders the full composite, opening the photo (through the size dialog,
// which decodes in the background, and straight, compared with `vips copy`
// of the same file in the same run), and a zoom and a scroll step.

#include "BenchEditor.h"
#include "BenchPhoto.h"
#include "BenchSticker.h"
#include "BenchTimer.h"
#include "CEditingState.h"
#include "CHueSaturationPage.h"
#include "CImageToolPanel.h"
#include "CItemCanvas.h"
#include "CMessageRouter.h"
#include "COMRImageEditorDoc.h"
#include "COMRImageEditorView.h"
#include "COpenSizeDialog.h"
#include "CValueSlider.h"
#include "CommandIds.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace {

// A photo-like JPEG, written to /dev/shm.
QString WritePhoto(const QString& folder)
{
    const QString path = folder + QStringLiteral("/photo.jpg");
    BenchPhoto().save(path, "JPEG", 90);
    return path;
}

// Opens the named file at its own size, without the size dialog.
class CFilePrompter : public CBenchPrompter
{
public:
    explicit CFilePrompter(QString path) : CBenchPrompter(QImage()), path_(std::move(path)) {}
    QString OpenFileName(QWidget*) override { return path_; }
    CBitmap OpenPicture(QWidget*, const QString& path) override { return CBitmap::FromFile(path); }

private:
    QString path_;
};

// One drag of the hue slider over `steps` positions, each move followed by
// the repaint it asks for; the times of the frames after the first.
Figures Drag(CValueSlider* hue, QWidget* viewport, int steps, double* first)
{
    SendMouse(hue, QEvent::MouseButtonPress, QPoint(hue->CentreOf(hue->Position()), 5));
    std::vector<double> times;
    for (int step = 0; step < steps; ++step) {
        QElapsedTimer timer;
        timer.start();
        SendMouse(hue, QEvent::MouseMove, QPoint(hue->CentreOf(-170 + step * 340 / steps), 5));
        viewport->repaint();
        (step == 0 ? *first : times.emplace_back()) = Milliseconds(timer);
    }
    return Spread(times);
}

double Release(CValueSlider* hue, QWidget* viewport)
{
    QElapsedTimer timer;
    timer.start();
    SendMouse(hue, QEvent::MouseButtonRelease, QPoint(hue->CentreOf(hue->Position()), 5));
    viewport->repaint();
    return Milliseconds(timer);
}

double VipsCopy(const QString& photo, const QString& folder)
{
    QProcess vips;
    QElapsedTimer timer;
    timer.start();
    vips.start(QStringLiteral("vips"), {QStringLiteral("copy"), photo, folder + "/x.v"});
    if (!vips.waitForFinished(60000) || vips.exitCode() != 0) {
        return -1;
    }
    return Milliseconds(timer);
}

// Opening through the size dialog: the header read before it shows, then OK
// to the picture delivered while the window's event loop keeps running; the
// longest the loop went without turning is the longest the window froze.
CBitmap OpenThroughDialog(const QString& photo)
{
    COpenSizeDialog dialog;
    QElapsedTimer timer;
    timer.start();
    dialog.SetPath(photo);
    PrintFigure("size dialog: ready to show (header)", Milliseconds(timer));
    timer.restart();
    dialog.show();
    dialog.accept();
    // The loop sleeps between events; a 2 ms ticker wakes it, so a long
    // gap between turns is time the window's thread was busy.
    QTimer ticker;
    ticker.start(2);
    CBitmap picture;
    double longest = 0;
    QElapsedTimer turn;
    turn.start();
    while (picture.IsNull() && timer.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        longest = std::max(longest, Milliseconds(turn));
        turn.restart();
        picture = dialog.TakeResult();
    }
    PrintFigure("size dialog: OK to picture ready", Milliseconds(timer));
    PrintFigure("  longest turn of the event loop", longest);
    return picture;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QString folder = QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm/pixvel-bench")
                                                     : QDir::tempPath() + "/pixvel-bench";
    QDir().mkpath(folder);
    const QString photo = WritePhoto(folder);
    CFilePrompter prompter(photo);
    CBenchEditor editor(prompter);
    COMRImageEditorView& view = editor.view;
    CRouterFrame& frame = editor.frame;
    QWidget* viewport = view.viewport();
    std::printf("6000x4000 JPEG photo + 20 stickers, view 1000x700\n");

    const double vips = VipsCopy(photo, folder);
    QElapsedTimer decode;
    decode.start();
    const CBitmap decoded = CBitmap::FromFile(photo);
    PrintFigure("decode alone (full size)", Milliseconds(decode));
    const CBitmap picture = OpenThroughDialog(photo);
    QElapsedTimer show;
    show.start();
    view.ShowPicture(picture.Image(), photo);
    viewport->repaint();
    PrintFigure("  then shown (first render + repaint)", Milliseconds(show));
    QElapsedTimer open;
    open.start();
    view.RunCommand(cmd::kFileOpen);
    viewport->repaint();
    const double opened = Milliseconds(open);
    PrintFigure("open straight: decode + show", opened);
    PrintFigure("vips copy photo.jpg x.v", vips);
    std::printf("%-40s %9.2f\n", "  ratio open / vips copy", opened / vips);

    editor.DropBenchStickers();
    view.Receive(msg::WithIndexes(msg::kSelectItems, msg::kFromItemsPanel, {0}));
    CImageToolPanel panel(&frame);
    panel.resize(214, 600);
    panel.show();
    panel.Refresh();
    auto* hue = panel.HueSaturationPage()->findChild<CValueSlider*>(
        QString::number(CHueSaturationPage::kHueSlider));

    double first = 0;
    Figures hueDrag = Drag(hue, viewport, 61, &first);
    PrintFigure("hue drag: first frame (proxies made)", first);
    PrintFigure("hue drag: frame, median of 60", hueDrag.median);
    PrintFigure("hue drag: frame, 95th percentile", hueDrag.p95);
    PrintFigure("release: full composite on screen", Release(hue, viewport));

    ItemEffects& effects = CEditingState::Instance().currentItem->Effects();
    effects.sharpenAmount = 2.0f;
    effects.sharpenRadius = 2.0f;
    frame.Receive(msg::Make(msg::kEffectsChanged));
    hueDrag = Drag(hue, viewport, 61, &first);
    PrintFigure("sharpen 2,2: first frame (filtered)", first);
    PrintFigure("sharpen 2,2: hue drag frame, median", hueDrag.median);
    PrintFigure("sharpen 2,2: hue drag frame, p95", hueDrag.p95);
    PrintFigure("sharpen 2,2: release", Release(hue, viewport));

    QElapsedTimer zoom;
    zoom.start();
    view.Receive(msg::Make(msg::kZoom, msg::kZoomViewOnly, 50));
    viewport->repaint();
    PrintFigure("zoom to 50 % and repaint", Milliseconds(zoom));
    zoom.restart();
    view.horizontalScrollBar()->setValue(view.horizontalScrollBar()->value() + 400);
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->value() + 300);
    viewport->repaint();
    PrintFigure("scroll and repaint", Milliseconds(zoom));
    QDir(folder).removeRecursively();
    return 0;
}
