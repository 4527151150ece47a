// Times the editing view on a 12-megapixel picture with 20 stickers: a plain
// repaint (a blit of the kept scaled composite), one step of a drag (the
// tracker's outline redrawn), the end of a drag (the item stored and the
// picture rendered again) and a zoom change.

#include "BenchEditor.h"
#include "BenchTimer.h"
#include "COMRImageEditorDoc.h"
#include "COMRImageEditorView.h"
#include "CommandIds.h"

namespace {

QImage Picture()
{
    QImage picture(4000, 3000, QImage::Format_RGB32);
    picture.fill(QColor(120, 160, 200));
    return picture;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    AppSettings settings;
    COMRImageEditorDoc document;
    CBenchPrompter prompter(Picture());
    COMRImageEditorView view(document, settings, nullptr, prompter);
    view.resize(1000, 700);
    view.show();
    QApplication::processEvents();
    view.RunCommand(cmd::kFileOpen);
    QImage sticker(256, 256, QImage::Format_ARGB32_Premultiplied);
    sticker.fill(QColor(255, 200, 0, 200));
    DropStickers(view, 20, QPoint(200, 150), QPoint(30, 20), [&sticker](int) { return sticker; });
    QWidget* viewport = view.viewport();
    std::printf("picture 4000x3000 at zoom %.3f in 1000x700, 20 stickers\n", view.Zoom());

    PrintFigure("plain repaint", MedianMilliseconds(50, [viewport] { viewport->repaint(); }));
    const QPoint item(200 + 30 * 19, 150 + 20 * 19);
    SendMouse(viewport, QEvent::MouseButtonPress, item);
    int step = 0;
    PrintFigure("drag step (move + repaint)", MedianMilliseconds(50, [&] {
                    SendMouse(viewport, QEvent::MouseMove, item + QPoint(++step % 40, 0));
                    viewport->repaint();
                }));
    SendMouse(viewport, QEvent::MouseButtonRelease, item);
    PrintFigure("end of drag (store + render + repaint)", MedianMilliseconds(10, [&] {
                    SendMouse(viewport, QEvent::MouseButtonPress, item);
                    SendMouse(viewport, QEvent::MouseMove, item + QPoint(3, 0));
                    SendMouse(viewport, QEvent::MouseButtonRelease, item);
                    viewport->repaint();
                }));
    int percent = 30;
    PrintFigure("zoom change (layout + rescale + repaint)", MedianMilliseconds(10, [&] {
                    percent = percent == 30 ? 25 : 30;
                    view.Receive(msg::Make(msg::kZoom, msg::kZoomViewOnly, percent));
                    viewport->repaint();
                }));
    return 0;
}
