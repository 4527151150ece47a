// The effected bitmap a picture item keeps between renders: a change of
// colours alone reuses the filtered stage and the previous result's memory,
// and still gives exactly what applying every effect afresh gives.

#include "CEffectPainter.h"
#include "CItemCanvas.h"
#include "CPictureItem.h"

#include <functional>

#include <gtest/gtest.h>

namespace {

QImage Photo()
{
    QImage photo(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y) {
        for (int x = 0; x < photo.width(); ++x) {
            photo.setPixel(x, y, qRgb(x * 4, y * 5, (x * y) & 255));
        }
    }
    return photo;
}

TEST(EffectStagesTest, ColourChangesAfterAFilterGiveWhatAFullApplyGives)
{
    CPictureItem item;
    item.SetBitmap(Photo());
    ItemEffects& effects = item.Effects();
    effects.sharpenAmount = 1.5f;
    effects.sharpenRadius = 1.5f;
    const std::function<void()> changes[] = {
        [&] { effects.hue = 40; },
        [&] { effects.contrast = 1.3f; },
        [&] { effects.blurRadius = 2.0f; },
        [&] { effects.gamma = 0.7f; },
        [&] {
            effects.sharpenAmount = 1.0f;
            effects.sharpenRadius = 1.0f;
        },
        [&] { effects.invert = true; },
        [&] { effects = ItemEffects(); },
    };
    for (const auto& change : changes) {
        change();
        const QImage drawn = item.Drawn(); // released again at once, as a render does
        EXPECT_EQ(drawn, CEffectPainter::Apply(item.Bitmap(), effects));
    }
}

TEST(EffectStagesTest, ColourChangeWritesIntoThePreviousResult)
{
    CPictureItem item;
    item.SetBitmap(Photo());
    item.Effects().hue = 10;
    const uchar* first = item.Drawn().constBits();
    item.Effects().hue = 20;
    EXPECT_EQ(item.Drawn().constBits(), first) << "no new picture for a colour change";
    // A result somebody still holds is never written over.
    const QImage held = item.Drawn();
    item.Effects().hue = 30;
    EXPECT_NE(item.Drawn().constBits(), held.constBits());
    EXPECT_EQ(held, CEffectPainter::Apply(item.Bitmap(), [] {
                  ItemEffects effects;
                  effects.hue = 20;
                  return effects;
              }()));
}

TEST(EffectStagesTest, CanvasDrawsOverItsCompositeUnlessItIsHeld)
{
    CItemCanvas canvas;
    canvas.AddPicture(Photo(), 0, 0, 0, 0, 1.0f);
    const uchar* first = canvas.Render().constBits();
    EXPECT_EQ(canvas.Render().constBits(), first);
    const QImage held = canvas.Composite();
    canvas.ItemAt(0)->Effects().invert = true;
    const QImage& again = canvas.Render();
    EXPECT_NE(again.constBits(), held.constBits());
    EXPECT_NE(again, held) << "the held composite keeps the earlier picture";
}

} // namespace
