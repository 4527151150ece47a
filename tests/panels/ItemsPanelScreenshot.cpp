// Takes the items page's screenshot for the documentation: run under
// xvfb-run with the output folder as the argument. Two stickers go on the
// sample picture and the top one is set to 40 % opacity.
#include "AppSettings.h"
#include "CImageToolBar.h"
#include "CImageToolPanel.h"
#include "CItemsPanel.h"
#include "CMainFrame.h"
#include "COMRImageEditorDoc.h"
#include "COMRImageEditorView.h"
#include "CPrompter.h"
#include "CValueSlider.h"
#include "CommandIds.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

namespace {

void Wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

class COpenPrompter : public CPrompter
{
public:
    void Tell(QWidget*, const QString&) override {}
    Answer AskSaveFirst(QWidget*, const QString&) override { return kCancel; }
    QString OpenFileName(QWidget*) override { return QStringLiteral(PIXVEL_SAMPLE_PICTURE); }
    QString SaveFileName(QWidget*, const QString&) override { return {}; }
    Answer Ask(QWidget*, const QString&) override { return kNo; }
    std::optional<NewPictureSettings> NewPicture(QWidget*) override { return std::nullopt; }
    CBitmap OpenPicture(QWidget*, const QString& path) override { return CBitmap::FromFile(path); }
};

// A round sticker of one colour on a transparent ground.
QString Sticker(const QTemporaryDir& folder, const QString& name, QColor colour)
{
    QImage sticker(90, 90, QImage::Format_ARGB32);
    sticker.fill(Qt::transparent);
    QPainter painter(&sticker);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(QPen(Qt::white, 4));
    painter.drawEllipse(QRectF(4, 4, 82, 82));
    painter.end();
    const QString path = folder.filePath(name);
    sticker.save(path);
    return path;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    QTemporaryDir folder;
    AppSettings settings;
    COMRImageEditorDoc document;
    COpenPrompter prompter;
    CMainFrame frame(settings, prompter);
    frame.SetView(new COMRImageEditorView(document, settings, &frame, prompter));
    frame.resize(1100, 820);
    frame.show();
    frame.ApplyDefaultBarSizes();
    Wait(300);
    frame.RunCommand(cmd::kFileOpen);
    for (const auto& [name, colour] : {std::pair{"heart.png", QColor(220, 40, 80)},
                                       std::pair{"star.png", QColor(250, 200, 30)}}) {
        msg::ItemDropRequest request;
        request.entries.push_back({Sticker(folder, name, colour), QImage()});
        frame.Receive(msg::WithDrop(std::move(request)));
    }
    CImageToolBar* bar = frame.ImageToolBar();
    CValueSlider* slider = bar->ToolPanel()->ItemsPanel()->Slider();
    slider->setFocus();
    for (int step = 0; step < 3; ++step) {
        QKeyEvent pageUp(QEvent::KeyPress, Qt::Key_PageUp, Qt::NoModifier);
        QApplication::sendEvent(slider, &pageUp);
    }
    Wait(300);
    const QRect area(bar->mapToGlobal(QPoint(0, 0)), bar->size());
    QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .save(out + "/items-panel.png");
    return 0;
}
