// Takes the image tool panel's screenshots for the documentation: run under
// xvfb-run with the output folder as the argument. The news tab shows a page
// served from 127.0.0.1.
#include "AppSettings.h"
#include "CFilterPage.h"
#include "CHueSaturationPage.h"
#include "CImageToolBar.h"
#include "CImageToolPanel.h"
#include "CItemsPanel.h"
#include "CLocalHttpServer.h"
#include "CMainFrame.h"
#include "COMRImageEditorDoc.h"
#include "COMRImageEditorView.h"
#include "CPageHeaderButton.h"
#include "CPrompter.h"
#include "CValueSlider.h"
#include "CommandIds.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
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

void Grab(const QWidget* widget, const QString& path, int settle = 300)
{
    Wait(settle);
    const QRect area(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .save(path);
}

class CSamplePrompter : public CPrompter
{
public:
    explicit CSamplePrompter(QString path) : path_(std::move(path)) {}
    void Tell(QWidget*, const QString&) override {}
    Answer AskSaveFirst(QWidget*, const QString&) override { return kCancel; }
    QString OpenFileName(QWidget*) override { return path_; }
    QString SaveFileName(QWidget*, const QString&) override { return {}; }
    Answer Ask(QWidget*, const QString&) override { return kNo; }
    std::optional<NewPictureSettings> NewPicture(QWidget*) override { return std::nullopt; }
    CBitmap OpenPicture(QWidget*, const QString& path) override { return CBitmap::FromFile(path); }

private:
    QString path_;
};

const char kNewsPage[] = R"(<!DOCTYPE html><html><head><meta charset="utf-8">
<style>body{font-family:sans-serif;font-size:12px;margin:8px}h1{font-size:15px;color:#335}
li{margin-bottom:6px}</style></head><body><h1>Pixvel 새소식</h1><ul>
<li><b>새 아이템</b> 겨울 스티커 30종이 들어왔습니다.</li>
<li><b>업데이트</b> 효과 페이지의 슬라이더가 더 부드러워졌습니다.</li>
<li><a href="/pixvel/item_mall.html">아이템몰 바로가기</a></li></ul></body></html>)";

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

// Two stickers on the picture, the top one at 40 % opacity.
void ShowThreeLayers(CMainFrame& frame, const QTemporaryDir& folder)
{
    for (const auto& [name, colour] : {std::pair{"heart.png", QColor(220, 40, 80)},
                                       std::pair{"star.png", QColor(250, 200, 30)}}) {
        msg::ItemDropRequest request;
        request.entries.push_back({Sticker(folder, name, colour), QImage()});
        frame.Receive(msg::WithDrop(std::move(request)));
    }
    CValueSlider* slider = frame.ImageToolBar()->ToolPanel()->ItemsPanel()->Slider();
    for (int step = 0; step < 3; ++step) {
        QKeyEvent pageUp(QEvent::KeyPress, Qt::Key_PageUp, Qt::NoModifier);
        QApplication::sendEvent(slider, &pageUp);
    }
}

// Sends one mouse event to a slider, the left button held but on release.
void SliderMouse(CValueSlider* slider, QEvent::Type type, int position)
{
    const QPointF at(slider->CentreOf(position), slider->ThumbRect().center().y());
    QMouseEvent event(type, at, slider->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(slider, &event);
}

// The photo's hue slider half-way through a drag to 120 (the live preview at
// 60), then released (the full render).
void ShowHueDrag(CMainFrame& frame, const QString& out)
{
    // The base picture, selected in the view and in the bars.
    frame.View()->Receive(msg::WithIndexes(msg::kSelectItems, msg::kFromItemsPanel, {0}));
    frame.Receive(msg::WithIndexes(msg::kSelectItems, msg::kFromView, {0}));
    CImageToolPanel* panel = frame.ImageToolBar()->ToolPanel();
    panel->SwitchTab(CImageToolPanel::kEffectsTab);
    panel->Page(1)->Header()->click();
    auto* hue = panel->HueSaturationPage()->findChild<CValueSlider*>(
        QString::number(CHueSaturationPage::kHueSlider));
    SliderMouse(hue, QEvent::MouseButtonPress, hue->Position());
    for (int position = 0; position <= 120; position += 10) {
        SliderMouse(hue, QEvent::MouseMove, position);
        Wait(20);
        if (position == 60) {
            Grab(&frame, out + "/live-preview-drag.png");
        }
    }
    SliderMouse(hue, QEvent::MouseButtonRelease, 120);
    Grab(&frame, out + "/live-preview-released.png");
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    CLocalHttpServer server;
    server.Route("/pixvel/news.html", [](const HttpRequest&, CHttpConnection& connection) {
        connection.Respond(200, {{"Content-Type", "text/html; charset=utf-8"}}, kNewsPage);
    });

    AppSettings settings;
    settings.infoUrl = QString::fromStdString(server.Url("/update/update.inf"));
    COMRImageEditorDoc document;
    CSamplePrompter prompter(QStringLiteral(PIXVEL_SAMPLE_PICTURE));
    CMainFrame frame(settings, prompter);
    frame.SetView(new COMRImageEditorView(document, settings, &frame, prompter));
    frame.resize(1100, 820);
    frame.show();
    frame.ApplyDefaultBarSizes();
    Wait(300);
    frame.RunCommand(cmd::kFileOpen);
    CImageToolBar* bar = frame.ImageToolBar();
    CImageToolPanel* panel = bar->ToolPanel();
    Grab(bar, out + "/panel-collapsed.png");

    panel->Page(1)->Header()->click();
    Grab(bar, out + "/panel-page1.png");

    panel->Page(3)->Header()->click();
    panel->FilterPage()->List()->setCurrentIndex(CFilterPage::kSharpen);
    Grab(bar, out + "/panel-filter-sharpen.png");

    panel->Page(3)->Header()->click();
    QTemporaryDir stickers;
    ShowThreeLayers(frame, stickers);
    Grab(bar, out + "/items-panel.png");

    ShowHueDrag(frame, out);

    panel->SwitchTab(CImageToolPanel::kNewsTab);
    Grab(bar, out + "/panel-news.png", 4000);
    return 0;
}
