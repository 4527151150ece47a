// Decorated text: pixels of the outline, shadow and box, their order, the
// whole item at part opacity, projects and names.

#include "CItemCanvas.h"
#include "COraExporter.h"
#include "CProjectManifest.h"
#include "CProjectReader.h"
#include "CProjectWriter.h"
#include "CTextDecorationPainter.h"
#include "CTextItem.h"
#include "CZipReader.h"
#include "TextItemTesting.h"

#include <QFile>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

constexpr QRgb kBase = 0xFF808080;
constexpr QRgb kWhite = 0xFFFFFFFF;

// A grey 200 × 120 picture with "HI" in bold white 60 px at (40, 20).
class TextDecorationTest : public testing::Test
{
protected:
    TextDecorationTest()
    {
        QImage base(200, 120, QImage::Format_RGB32);
        base.fill(kBase);
        canvas_.AddPicture(base, 0, 0, 0, 0, 1.0f);
        text_ = static_cast<CTextItem*>(
            canvas_.AddItem(BoldWhiteText("HI", "DejaVu Sans", 60, QPointF(40, 20))));
        plain_ = Render();
    }

    QImage Render() { return canvas_.Render().convertToFormat(QImage::Format_RGB32); }

    QImage RenderWith(const std::function<void(TextDecoration&)>& change)
    {
        TextDecoration decoration = text_->Decoration();
        change(decoration);
        text_->SetDecoration(decoration);
        return Render();
    }

    // Whether a glyph pixel of the plain picture lies within `distance`.
    bool NearGlyph(int x, int y, double distance) const
    {
        const int reach = int(std::ceil(distance));
        for (int dy = -reach; dy <= reach; ++dy) {
            for (int dx = -reach; dx <= reach; ++dx) {
                if (dx * dx + dy * dy <= distance * distance && plain_.valid(x + dx, y + dy) &&
                    plain_.pixel(x + dx, y + dy) != kBase) {
                    return true;
                }
            }
        }
        return false;
    }

    // Every pixel that `where` picks has the colour `expected`; at least one
    // is picked.
    void ExpectEvery(const QImage& image, const std::function<bool(int, int)>& where, QRgb expected,
                     const char* what) const
    {
        int picked = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (where(x, y)) {
                    ++picked;
                    ASSERT_EQ(image.pixel(x, y), expected) << what << " at " << x << "," << y;
                }
            }
        }
        EXPECT_GT(picked, 20) << what;
    }

    CItemCanvas canvas_;
    CTextItem* text_ = nullptr;
    QImage plain_;
};

} // namespace

TEST_F(TextDecorationTest, OutlineSurroundsTheGlyphsByItsWidthAndLeavesThemAlone)
{
    const QImage drawn = RenderWith([](TextDecoration& d) { d.outline = {true, 0x0000FF, 4}; });
    // Within the width outside the letters: the outline's red; well beyond
    // it the picture; the letters as they were.
    ExpectEvery(
        drawn, [this](int x, int y) { return plain_.pixel(x, y) == kBase && NearGlyph(x, y, 2.5); },
        0xFFFF0000, "outline");
    ExpectEvery(
        drawn, [this](int x, int y) { return !NearGlyph(x, y, 6); }, kBase, "picture");
    ExpectEvery(
        drawn, [this](int x, int y) { return plain_.pixel(x, y) == kWhite; }, kWhite, "glyphs");

    // Off, or of no width, it draws nothing.
    EXPECT_EQ(RenderWith([](TextDecoration& d) { d.outline = {false, 0x0000FF, 4}; }), plain_);
    EXPECT_EQ(RenderWith([](TextDecoration& d) { d.outline = {true, 0x0000FF, 0}; }), plain_);
}

TEST_F(TextDecorationTest, ShadowLiesAtItsOffsetAndSoftensItsEdges)
{
    const QImage hard = RenderWith([](TextDecoration& d) {
        d.shadow = {true, 0x000000, 10, 8, 0};
    });
    // Where the letters would be if moved by the offset, and no letter is:
    // black; the letters stay white on top.
    const auto shadowed = [this](int x, int y) {
        return plain_.valid(x - 10, y - 8) && plain_.pixel(x - 10, y - 8) == kWhite &&
               !NearGlyph(x, y, 1.5);
    };
    ExpectEvery(hard, shadowed, 0xFF000000, "hard shadow");
    ExpectEvery(
        hard, [this](int x, int y) { return plain_.pixel(x, y) == kWhite; }, kWhite, "glyphs");

    // Softened, the shadow spreads beyond the hard one, fading.
    const QImage soft = RenderWith([](TextDecoration& d) {
        d.shadow = {true, 0x000000, 10, 8, 4};
    });
    int between = 0;
    int outside = 0;
    for (int y = 0; y < soft.height(); ++y) {
        for (int x = 0; x < soft.width(); ++x) {
            const int grey = qGray(soft.pixel(x, y));
            between += grey > 5 && grey < 120 ? 1 : 0;
            outside += hard.pixel(x, y) == kBase && grey < 120 ? 1 : 0;
        }
    }
    EXPECT_GT(between, 200);
    EXPECT_GT(outside, 50);
}

TEST_F(TextDecorationTest, BoxCoversThePaddedLayoutBoxWithRoundedCorners)
{
    const QRectF box = text_->LayoutBox().translated(40, 20);
    const QImage drawn = RenderWith([](TextDecoration& d) {
        d.box = {true, 0xFF0000, 255, 10, 8};
    });
    // Inside the padding: blue; beyond it: the picture; the corner pixel
    // itself is rounded off.
    const QPoint padded = (box.topLeft() + QPointF(-6, box.height() / 2)).toPoint();
    EXPECT_EQ(drawn.pixel(padded), 0xFF0000FF);
    EXPECT_EQ(drawn.pixel((box.center() + QPointF(0, box.height() / 2 + 6)).toPoint()), 0xFF0000FF);
    EXPECT_EQ(drawn.pixel((box.topLeft() + QPointF(-13, box.height() / 2)).toPoint()), kBase);
    EXPECT_EQ(drawn.pixel((box.topLeft() + QPointF(-9.5, -9.5)).toPoint()), kBase);
    // The letters lie on top.
    ExpectEvery(
        drawn, [this](int x, int y) { return plain_.pixel(x, y) == kWhite; }, kWhite, "glyphs");
    // What the item covers (a copy to the clipboard takes that) holds the box.
    EXPECT_TRUE(text_->DrawnBounds().contains(box.adjusted(-10, -10, 10, 10)));
    EXPECT_FALSE(text_->Outline().boundingRect().contains(box));

    // Half see-through: the box's colour over the picture, half each.
    const QImage half = RenderWith([](TextDecoration& d) { d.box = {true, 0xFF0000, 128, 10, 8}; });
    const QRgb mixed = half.pixel(padded);
    EXPECT_NEAR(qRed(mixed), 64, 2);
    EXPECT_NEAR(qBlue(mixed), 191, 2);
}

TEST_F(TextDecorationTest, PartsStackBoxShadowOutlineGlyphsAndFadeAsOneAtPartOpacity)
{
    TextDecoration all;
    all.outline = {true, 0x0000FF, 3};
    all.shadow = {true, 0x000000, 2, 2, 0};
    all.box = {true, 0x00FF00, 255, 12, 0};
    text_->SetDecoration(all);
    const QImage drawn = Render();
    // The shadow's offset is inside the outline's width: only the outline
    // shows round the letters, never the shadow or the box.
    ExpectEvery(
        drawn, [this](int x, int y) { return plain_.pixel(x, y) == kBase && NearGlyph(x, y, 1.5); },
        0xFFFF0000, "outline over shadow and box");

    // At 50 % every part fades together: inside a letter, next to its edge
    // (over the outline's inner half) it reads the same as in its middle.
    text_->Effects().opacity = 50;
    const QImage faded = Render();
    const QRgb letter =
        faded.pixel(text_->Outline().boundingRect().topLeft().toPoint() + QPoint(8, 25));
    ExpectEvery(
        faded, [this](int x, int y) { return plain_.pixel(x, y) == kWhite; }, letter, "faded");
    EXPECT_NEAR(qGreen(letter), 0.5 * 255 + 0.5 * 128, 2); // white over the grey picture
    EXPECT_NEAR(qRed(letter), 0.5 * 255 + 0.5 * 128, 2);
}

TEST_F(TextDecorationTest, DecorationTurnsWithTheText)
{
    CharFormat small = text_->Format();
    small.height = 20 * 20;
    text_->SetFormat(small);
    text_->SetText("HIHIHI");
    text_->MakeOutline(QPointF(60, 50));
    text_->SetDecoration([] {
        TextDecoration d;
        d.box = {true, 0xFF0000, 255, 4, 0};
        return d;
    }());
    const QPointF centre = text_->Outline().boundingRect().center();
    const double halfWidth = text_->LayoutBox().width() / 2;
    ASSERT_GT(halfWidth, 30);
    EXPECT_EQ(Render().pixel((centre + QPointF(halfWidth - 2, 0)).toPoint()), 0xFF0000FF);
    // Turned a quarter, the wide box stands upright through the centre.
    text_->RotateAboutCentre(90);
    const QImage turned = Render();
    EXPECT_EQ(turned.pixel((centre + QPointF(0, -halfWidth - 2)).toPoint()), 0xFF0000FF);
    EXPECT_EQ(turned.pixel((centre + QPointF(halfWidth - 2, 0)).toPoint()), kBase);
}

TEST_F(TextDecorationTest, ProjectsKeepTheDecorationAtTheNewerVersionOnly)
{
    QTemporaryDir folder;
    const auto manifestVersion = [&folder](const CItemCanvas& canvas) {
        const QString path = folder.filePath("v.pixvel");
        EXPECT_TRUE(CProjectWriter::Save(ProjectContent::Snapshot(canvas), path, nullptr));
        QString error;
        const std::optional<ProjectContent> read = CProjectReader::Read(path, &error);
        EXPECT_TRUE(read.has_value()) << error.toStdString();
        ProjectContent snapshot = ProjectContent::Snapshot(canvas);
        const QJsonObject root =
            QJsonDocument::fromJson(CProjectManifest::Write(snapshot, QStringList())).object();
        return root.value("version").toInt();
    };
    // Plain text: the version older programs read.
    EXPECT_EQ(manifestVersion(canvas_), CProjectManifest::kPlainVersion);

    TextDecoration all;
    all.outline = {true, 0x112233, 5};
    all.shadow = {true, 0x445566, -7, 9, 3};
    all.box = {true, 0x778899, 77, 11, 13};
    text_->SetDecoration(all);
    text_->RotateAboutCentre(-25);
    EXPECT_EQ(manifestVersion(canvas_), CProjectManifest::kVersion);

    const QString path = folder.filePath("styled.pixvel");
    ASSERT_TRUE(CProjectWriter::Save(ProjectContent::Snapshot(canvas_), path, nullptr));
    QString error;
    std::optional<ProjectContent> read = CProjectReader::Read(path, &error);
    ASSERT_TRUE(read.has_value()) << error.toStdString();
    CItemCanvas reopened;
    read->MoveInto(reopened);
    ASSERT_EQ(reopened.Count(), 2);
    EXPECT_EQ(static_cast<CTextItem*>(reopened.ItemAt(1))->Decoration(), all);
    EXPECT_TRUE(reopened.Render() == canvas_.Render());
}

TEST_F(TextDecorationTest, DecorationsOutOfRangeAreRefused)
{
    const auto readWith = [](const char* part, const char* field, double value) {
        QJsonObject text{{"kind", "text"},
                         {"text", "a"},
                         {"rect", QJsonArray{0, 0, 0, 0}},
                         {"corners", QJsonArray{QJsonArray{0, 0}, QJsonArray{10, 0},
                                                QJsonArray{10, 10}, QJsonArray{0, 10}}},
                         {"decoration", QJsonObject{{part, QJsonObject{{field, value}}}}}};
        QJsonObject base = text;
        base["kind"] = "picture";
        base["bitmap"] = "bitmaps/" + QString(64, 'a') + ".png";
        const QJsonObject root{{"format", "pixvel-project"},
                               {"version", 2},
                               {"base", QJsonArray{10, 10}},
                               {"items", QJsonArray{base, text}}};
        return CProjectManifest::Read(QJsonDocument(root).toJson(), nullptr).has_value();
    };
    EXPECT_TRUE(readWith("outline", "width", 20));
    EXPECT_FALSE(readWith("outline", "width", 21));
    EXPECT_FALSE(readWith("shadow", "dx", -51));
    EXPECT_FALSE(readWith("shadow", "softness", 9));
    EXPECT_FALSE(readWith("shadow", "softness", 2.5));
    EXPECT_FALSE(readWith("box", "alpha", 256));
    EXPECT_FALSE(readWith("box", "colour", 0x1000000));
    EXPECT_FALSE(readWith("box", "radius", -1));
}

TEST_F(TextDecorationTest, OpenRasterLayerOfATextHoldsItsDecoration)
{
    text_->SetDecoration([] {
        TextDecoration d;
        d.box = {true, 0xFF0000, 255, 10, 0};
        return d;
    }());
    QTemporaryDir folder;
    const QString path = folder.filePath("a.ora");
    ASSERT_TRUE(COraExporter::Export(ProjectContent::Snapshot(canvas_), path, nullptr));
    CZipReader reader;
    reader.OpenArchive(QFile::encodeName(path).toStdString());
    QByteArray layer;
    for (bool more = reader.HasEntry(); more; more = reader.GoToNextEntry()) {
        if (reader.EntryName() != "data/layer1.png") {
            continue;
        }
        char chunk[4096];
        reader.OpenEntry();
        for (size_t got; (got = reader.ReadEntry(chunk, sizeof chunk)) > 0;) {
            layer.append(chunk, qsizetype(got));
        }
        reader.CloseEntry();
    }
    // The text's own layer holds its box, opaque, and nothing far from it.
    const QImage drawn = QImage::fromData(layer).convertToFormat(QImage::Format_ARGB32);
    const QRectF box = text_->LayoutBox().translated(40, 20);
    EXPECT_EQ(drawn.pixel((box.topLeft() + QPointF(-5, 5)).toPoint()), 0xFF0000FF);
    EXPECT_EQ(qAlpha(drawn.pixel(2, 2)), 0);
}

TEST(TextItemNameTest, FirstLineThatIsNotBlankCutToTwentyCharacters)
{
    const auto name = [](const QString& text) {
        CTextItem item;
        item.SetText(text);
        return item.Name();
    };
    EXPECT_EQ(name("Hello\nworld"), "Hello");
    EXPECT_EQ(name("  \n  second line  \nthird"), "second line");
    EXPECT_EQ(name("abcdefghijklmnopqrstuvwxyz"), "abcdefghijklmnopqrst");
    EXPECT_EQ(name(QStringLiteral("가나다라마바사아자차카타파하가나다라마바사아")),
              QStringLiteral("가나다라마바사아자차카타파하가나다라마바"));
    // A character made of two code units is never cut in half.
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80");
    EXPECT_EQ(name(QString("a").repeated(19) + smile + "b"), QString("a").repeated(19) + smile);
}
