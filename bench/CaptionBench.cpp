// Times the drawing of one 72-pixel caption of 18 characters alone on a
// 1600 × 400 picture, plain and with each part of its decoration, and the
// full render of a 12-megapixel picture with five such captions.

#include "../tests/model/TextItemTesting.h"
#include "BenchTimer.h"
#include "CItemCanvas.h"
#include "CTextItem.h"

#include <QGuiApplication>
#include <QPainter>

#include <cstdio>
#include <functional>

namespace {

std::unique_ptr<CTextItem> Caption(const TextDecoration& decoration, QPointF at)
{
    auto text = BoldWhiteText(QStringLiteral("즐거운 여행 Pixvel 2026"), "NanumGothic", 72, at);
    text->SetDecoration(decoration);
    return text;
}

double DrawAlone(const TextDecoration& decoration, int opacity)
{
    const std::unique_ptr<CTextItem> text = Caption(decoration, QPointF(60, 120));
    text->Effects().opacity = opacity;
    QImage picture(1600, 400, QImage::Format_ARGB32_Premultiplied);
    return MedianMilliseconds(21, [&] {
        picture.fill(Qt::gray);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        text->Draw(painter);
    });
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    TextDecoration outline;
    outline.outline = {true, 0x000000, 3};
    TextDecoration hardShadow;
    hardShadow.shadow = {true, 0x000000, 4, 4, 0};
    TextDecoration softShadow;
    softShadow.shadow = {true, 0x000000, 4, 4, 8};
    TextDecoration box;
    box.box = {true, 0x000000, 128, 12, 14};
    TextDecoration all;
    all.outline = outline.outline;
    all.shadow = softShadow.shadow;
    all.box = box.box;
    const std::pair<const char*, std::function<double()>> cases[] = {
        {"caption, plain", [] { return DrawAlone({}, 100); }},
        {"caption, outline 3", [&] { return DrawAlone(outline, 100); }},
        {"caption, hard shadow", [&] { return DrawAlone(hardShadow, 100); }},
        {"caption, soft shadow 8", [&] { return DrawAlone(softShadow, 100); }},
        {"caption, box", [&] { return DrawAlone(box, 100); }},
        {"caption, all three", [&] { return DrawAlone(all, 100); }},
        {"caption, all three at 70 %", [&] { return DrawAlone(all, 70); }},
    };
    for (const auto& [name, run] : cases) {
        PrintFigure(name, run());
    }

    for (const bool decorated : {false, true}) {
        QImage base(4000, 3000, QImage::Format_RGB32);
        base.fill(QColor(120, 160, 200));
        CItemCanvas canvas;
        canvas.AddPicture(base, 0, 0, 0, 0, 1.0f);
        for (int i = 0; i < 5; ++i) {
            canvas.AddItem(Caption(decorated ? all : TextDecoration(),
                                   QPointF(200.0 + 300 * i, 2500.0 - 500 * i)));
        }
        PrintFigure(decorated ? "full render, 5 decorated captions"
                              : "full render, 5 plain captions",
                    MedianMilliseconds(8, [&canvas] { canvas.Render(); }));
    }
    return 0;
}
