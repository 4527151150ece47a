// Times a full render of a 12-megapixel picture with 20 stickers of 256×256
// (half of them rotated, a third with effects) and 5 text items.

#include "BenchSticker.h"
#include "BenchTimer.h"
#include "CItemCanvas.h"
#include "CPictureItem.h"
#include "CTextItem.h"

#include <QGuiApplication>

#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QImage base(4000, 3000, QImage::Format_RGB32);
    base.fill(QColor(120, 160, 200));
    CItemCanvas canvas;
    canvas.AddPicture(base, 0, 0, 0, 0, 1.0f);
    for (int i = 0; i < 20; ++i) {
        CPictureItem* item =
            canvas.AddPicture(BenchSticker(i), 150.0 + 180 * i, 200.0 + 120 * i, 0, 0, 1.0f);
        if (i % 2 == 0) {
            item->RotateAboutCentre(15.0 + 7 * i);
        }
        if (i % 3 == 0) {
            item->Effects().hue = 40;
            item->Effects().blurRadius = 2.0f;
            item->Effects().opacity = 70;
        }
    }
    for (int i = 0; i < 5; ++i) {
        auto text = std::make_unique<CTextItem>();
        text->SetText(QString("안녕하세요 Pixvel %1").arg(i));
        CharFormat format;
        format.height = 48 * 20;
        format.colour = 0x000000FFu << (8 * (i % 3));
        text->SetFormat(format);
        text->MakeOutline(QPointF(300.0 + 500 * i, 2500.0 - 300 * i));
        canvas.AddItem(std::move(text));
    }
    const double median = MedianMilliseconds(8, [&canvas] { canvas.Render(); });
    std::printf("full render, 4000 x 3000 base, 20 stickers, 5 texts: %.1f ms (median of 8)\n",
                median);
    return 0;
}
