// Project packages: round trip, refusals of damaged and hostile packages,
// and the OpenRaster export read back by a second reader.

#include "CItemCanvas.h"
#include "COraExporter.h"
#include "CPictureItem.h"
#include "CPngBatch.h"
#include "CProjectManifest.h"
#include "CProjectReader.h"
#include "CProjectWriter.h"
#include "CTextItem.h"
#include "CZipReader.h"
#include "CZipWriter.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// A picture with stripes of colour, so a misplaced pixel shows.
QImage Pattern(int width, int height, QImage::Format format, int seed)
{
    QImage image(width, height, format);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int alpha = format == QImage::Format_RGB32 ? 255 : (x * 7 + y * 3) % 256;
            image.setPixel(x, y,
                           qPremultiply(qRgba((x * 5 + seed) % 256, (y * 9) % 256,
                                              (x + y + seed * 3) % 256, alpha)));
        }
    }
    return image;
}

CTextItem* AddText(CItemCanvas& canvas, const QString& text, QPointF at, uint32_t style)
{
    auto item = std::make_unique<CTextItem>();
    CharFormat format;
    format.height = 28 * 20;
    format.effects = style;
    format.mask = style | CharFormat::kFaceMask | CharFormat::kSizeMask;
    format.colour = 0x0030C0E0;
    item->SetText(text);
    item->SetFormat(format);
    item->SetLabel(QStringLiteral("문자열"));
    item->MakeOutline(at);
    return static_cast<CTextItem*>(canvas.AddItem(std::move(item)));
}

QTransform Shear(const CItem& item, double sh, double sv)
{
    const QPointF centre = item.Outline().boundingRect().center();
    return QTransform::fromTranslate(-centre.x(), -centre.y()) * QTransform().shear(sh, sv) *
           QTransform::fromTranslate(centre.x(), centre.y());
}

// Entry names of a package, in order.
std::vector<std::string> EntryNames(const QString& path)
{
    std::vector<std::string> names;
    CZipReader reader;
    reader.OpenArchive(QFile::encodeName(path).toStdString());
    for (bool more = reader.HasEntry(); more; more = reader.GoToNextEntry()) {
        names.push_back(reader.EntryName());
    }
    return names;
}

// A picture with three stickers (one turned and sheared, one with effects,
// two sharing a bitmap) and two Korean texts (one bold, one turned).
class ProjectFilesTest : public testing::Test
{
protected:
    ProjectFilesTest()
    {
        canvas_.AddPicture(Pattern(160, 120, QImage::Format_RGB32, 1), 0, 0, 0, 0, 1.0f)
            ->SetSourceName("/photos/base.jpg");
        const QImage sticker = Pattern(30, 20, QImage::Format_ARGB32_Premultiplied, 2);
        CPictureItem* turned = canvas_.AddPicture(sticker, 20, 30, 0, 0, 1.0f);
        turned->SetSourceName("/items/heart.png");
        turned->RotateAboutCentre(33);
        turned->SetOutline(Shear(*turned, 0.3, 0.1).map(turned->Outline()));
        CPictureItem* coloured = canvas_.AddPicture(sticker, 90, 20, 45, 30, 1.0f);
        coloured->SetSourceName("/items/heart.png");
        ItemEffects& effects = coloured->Effects();
        effects.hue = 120;
        effects.saturation = 40;
        effects.contrast = 1.3f;
        effects.blurRadius = 1.7f;
        effects.invert = true;
        effects.opacity = 70;
        canvas_
            .AddPicture(Pattern(25, 25, QImage::Format_ARGB32_Premultiplied, 3), 100, 80, 0, 0,
                        1.0f)
            ->SetSourceName("/items/star.png");
        AddText(canvas_, QStringLiteral("안녕 Pixvel"), QPointF(10, 70), CharFormat::kBold);
        AddText(canvas_, QStringLiteral("두 줄\n글자"), QPointF(60, 50), CharFormat::kItalic)
            ->RotateAboutCentre(-20);
        canvas_.Render();
    }

    QString Path(const QString& name) const { return folder_.filePath(name); }

    QString Save(const QString& name)
    {
        QString error;
        EXPECT_TRUE(CProjectWriter::Save(ProjectContent::Snapshot(canvas_), Path(name), &error))
            << error.toStdString();
        return Path(name);
    }

    // Reads a project onto a canvas of its own.
    bool Load(const QString& path, CItemCanvas& into)
    {
        QString error;
        std::optional<ProjectContent> project = CProjectReader::Read(path, &error);
        EXPECT_TRUE(project.has_value()) << error.toStdString();
        if (!project) {
            return false;
        }
        project->MoveInto(into);
        return true;
    }

    QTemporaryDir folder_;
    CItemCanvas canvas_;
};

TEST_F(ProjectFilesTest, RoundTripRendersIdenticallyAndItemsStayEditable)
{
    const QString path = Save("work.pixvel");
    CItemCanvas reopened;
    ASSERT_TRUE(Load(path, reopened));
    ASSERT_EQ(reopened.Count(), canvas_.Count());
    EXPECT_EQ(reopened.BaseSize(), canvas_.BaseSize());
    EXPECT_TRUE(reopened.Render() == canvas_.Render());

    for (int index = 0; index < canvas_.Count(); ++index) {
        const CItem& before = *canvas_.ItemAt(index);
        const CItem& after = *reopened.ItemAt(index);
        EXPECT_EQ(after.GetKind(), before.GetKind()) << index;
        EXPECT_EQ(after.Effects(), before.Effects()) << index;
        EXPECT_EQ(after.Label(), before.Label()) << index;
        if (const auto* text = dynamic_cast<const CTextItem*>(&before)) {
            const auto& reread = static_cast<const CTextItem&>(after);
            EXPECT_EQ(reread.Text(), text->Text());
            EXPECT_EQ(reread.Format(), text->Format());
        } else {
            const auto& picture = static_cast<const CPictureItem&>(before);
            const auto& reread = static_cast<const CPictureItem&>(after);
            EXPECT_EQ(reread.SourceName(), picture.SourceName());
            EXPECT_TRUE(reread.Bitmap() == picture.Bitmap()) << index;
        }
    }

    // Every item still moves, scales, turns and changes its effects the same
    // way on both.
    for (CItemCanvas* each : {&canvas_, &reopened}) {
        each->ItemAt(1)->TranslateOutline(7, -3);
        CItem& scaled = *each->ItemAt(2);
        scaled.SetOutline(QTransform::fromScale(1.5, 0.8).map(scaled.Outline()));
        each->ItemAt(3)->Effects().hue = -45;
        each->ItemAt(3)->Effects().sharpenAmount = 2.0f;
        each->ItemAt(4)->RotateAboutCentre(12);
        each->ItemAt(5)->FlipAboutCentre(true);
    }
    EXPECT_TRUE(reopened.Render() == canvas_.Render());
}

TEST_F(ProjectFilesTest, EachDistinctBitmapIsStoredOnceByContent)
{
    // The shared sticker once; an equal copy in a bitmap of its own too.
    canvas_.AddPicture(static_cast<CPictureItem*>(canvas_.ItemAt(3))->Bitmap().copy(), 5, 5, 0, 0,
                       1.0f);
    const std::vector<std::string> names = EntryNames(Save("shared.pixvel"));
    ASSERT_EQ(names.size(), 4u); // manifest, base, sticker, star
    EXPECT_EQ(names.front(), "manifest.json");
    for (size_t i = 1; i < names.size(); ++i) {
        EXPECT_EQ(names[i].size(), std::string("bitmaps/.png").size() + 64) << names[i];
    }
}

TEST_F(ProjectFilesTest, FailedSaveLeavesTheOldFileAndSaysWhy)
{
    const QString path = Save("keep.pixvel");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    // A folder that takes no new files: the temporary file cannot be made.
    ASSERT_TRUE(QFile::setPermissions(folder_.path(), QFile::ReadOwner | QFile::ExeOwner));
    canvas_.ItemAt(1)->TranslateOutline(10, 10);
    QString error;
    const bool saved = CProjectWriter::Save(ProjectContent::Snapshot(canvas_), path, &error);
    QFile::setPermissions(folder_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (geteuid() != 0) { // root writes anywhere
        EXPECT_FALSE(saved);
        EXPECT_FALSE(error.isEmpty());
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved || file.readAll() == before);
    EXPECT_FALSE(CProjectWriter::Save(ProjectContent::Snapshot(canvas_),
                                      Path("missing/folder/x.pixvel"), &error));
}

// ---- refusals

// Writes a package of the given entries.
void WritePackage(const QString& path,
                  const std::vector<std::pair<std::string, QByteArray>>& entries)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    CZipWriter zip([&file](const char* data, size_t size) { file.write(data, qint64(size)); });
    for (const auto& [name, bytes] : entries) {
        zip.AddDeflated(name, bytes.constData(), size_t(bytes.size()));
    }
    zip.Finish();
}

class HostileProjectTest : public ProjectFilesTest
{
protected:
    HostileProjectTest()
    {
        QString error;
        EXPECT_TRUE(CProjectWriter::Pack(ProjectContent::Snapshot(canvas_), &package_, &error));
        manifest_ = QJsonDocument::fromJson(package_.manifest).object();
    }

    // The package with the manifest given, and every bitmap.
    QString Write(const QByteArray& manifest)
    {
        std::vector<std::pair<std::string, QByteArray>> entries{{"manifest.json", manifest}};
        for (const auto& [name, png] : package_.bitmaps) {
            entries.emplace_back(name.toStdString(), png);
        }
        const QString path = Path(QStringLiteral("hostile%1.pixvel").arg(++written_));
        WritePackage(path, entries);
        return path;
    }
    QString Write(const QJsonObject& manifest) { return Write(QJsonDocument(manifest).toJson()); }

    // The manifest with one value of item `index` replaced.
    QJsonObject WithItemValue(int index, const QString& key, const QJsonValue& value) const
    {
        QJsonObject root = manifest_;
        QJsonArray items = root["items"].toArray();
        QJsonObject item = items[index].toObject();
        item[key] = value;
        items[index] = item;
        root["items"] = items;
        return root;
    }

    // The reason a project is refused with; fails the test when it is read.
    static QString Refusal(const QString& path)
    {
        QString error;
        const std::optional<ProjectContent> project = CProjectReader::Read(path, &error);
        EXPECT_FALSE(project.has_value()) << path.toStdString();
        EXPECT_FALSE(error.isEmpty());
        return error;
    }

    CProjectWriter::Package package_;
    QJsonObject manifest_;
    int written_ = 0;
};

TEST_F(HostileProjectTest, ManifestsThatCannotBeTrustedAreRefused)
{
    QJsonObject newer = manifest_;
    newer["version"] = CProjectManifest::kVersion + 1;
    EXPECT_TRUE(Refusal(Write(newer)).contains("새로운 버전"));
    EXPECT_TRUE(
        Refusal(Write(QByteArray("{\"version\": 1, \"items\": ["))).contains("manifest.json"));
    EXPECT_TRUE(Refusal(Write(QByteArray("[1, 2]"))).contains("manifest.json"));

    const QJsonValue absurd =
        QJsonArray{QJsonArray{1e300, 0}, QJsonArray{1, 0}, QJsonArray{1, 1}, QJsonArray{0, 1}};
    EXPECT_TRUE(Refusal(Write(WithItemValue(1, "corners", absurd))).contains("위치"));
    const QJsonValue notNumbers =
        QJsonArray{QJsonArray{"NaN", 0}, QJsonArray{1, 0}, QJsonArray{1, 1}, QJsonArray{0, 1}};
    Refusal(Write(WithItemValue(1, "corners", notNumbers)));
    Refusal(Write(WithItemValue(1, "corners", QJsonArray{QJsonArray{0, 0}})));
    // Text where the base picture belongs; an unknown kind.
    Refusal(Write(WithItemValue(0, "kind", "text")));
    Refusal(Write(WithItemValue(2, "kind", "video")));
    // A blur that would run for ever.
    QJsonObject effects = manifest_["items"].toArray()[2].toObject()["effects"].toObject();
    effects["blurRadius"] = 1e9;
    Refusal(Write(WithItemValue(2, "effects", effects)));
    // A base size no picture can have.
    QJsonObject huge = manifest_;
    huge["base"] = QJsonArray{900000, 900000};
    Refusal(Write(huge));
}

TEST_F(HostileProjectTest, MissingOrBrokenBitmapsAndTooManyItemsAreRefused)
{
    const QString missing = QStringLiteral("bitmaps/%1.png").arg(QString(64, 'a'));
    EXPECT_TRUE(Refusal(Write(WithItemValue(1, "bitmap", missing))).contains(missing));
    // A name leading out of the package is no bitmap name.
    Refusal(Write(WithItemValue(1, "bitmap", "../../etc/passwd")));

    QJsonObject many = manifest_;
    QJsonArray items = many["items"].toArray();
    while (items.size() <= CProjectManifest::kMaxItems) {
        items.append(items[4]);
    }
    many["items"] = items;
    EXPECT_TRUE(Refusal(Write(many)).contains("10000"));

    // A bitmap entry that is no picture, and one that claims a giant size
    // (beyond the pixel budget, found from its header alone).
    const QString name = manifest_["items"].toArray()[1].toObject()["bitmap"].toString();
    const auto withBitmap = [&](const QByteArray& bytes) {
        std::vector<std::pair<std::string, QByteArray>> entries{
            {"manifest.json", package_.manifest}};
        for (const auto& [entry, png] : package_.bitmaps) {
            entries.emplace_back(entry.toStdString(), entry == name ? bytes : png);
        }
        const QString path = Path(QStringLiteral("bad-bitmap%1.pixvel").arg(++written_));
        WritePackage(path, entries);
        return path;
    };
    EXPECT_TRUE(Refusal(withBitmap("not a picture")).contains(name));
    EXPECT_TRUE(Refusal(withBitmap(QByteArray::fromHex(
                            "89504e470d0a1a0a0000000d49484452000186a0000186a00806000000")))
                    .startsWith(CProjectManifest::OverBudget()));
}

TEST_F(HostileProjectTest, DamagedAndHostilePackagesAreRefused)
{
    const QString good = Write(package_.manifest);
    QFile file(good);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const auto writeBytes = [this](const QByteArray& content) {
        const QString path = Path(QStringLiteral("bytes%1.pixvel").arg(++written_));
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(content);
        return path;
    };
    Refusal(writeBytes("PK\x03\x04 not really a package"));
    Refusal(writeBytes(bytes.left(bytes.size() / 2)));
    QByteArray flipped = bytes;
    flipped[bytes.size() / 3] = char(flipped[bytes.size() / 3] ^ 0x55); // CRC no longer matches
    Refusal(writeBytes(flipped));
    Refusal(Path("no-such-file.pixvel"));
    // No manifest; a manifest given twice (the second would hide the first).
    WritePackage(Path("nomanifest.pixvel"), {{"readme.txt", "hello"}});
    Refusal(Path("nomanifest.pixvel"));
    WritePackage(Path("twice.pixvel"),
                 {{"manifest.json", package_.manifest}, {"manifest.json", package_.manifest}});
    Refusal(Path("twice.pixvel"));
    // A manifest that inflates far beyond any real one.
    WritePackage(Path("bomb.pixvel"),
                 {{"manifest.json", QByteArray(CProjectReader::kMaxManifestBytes + 1, ' ')}});
    Refusal(Path("bomb.pixvel"));
}

// The hostile projects of the generator the benchmark uses (small ones):
// each budget refuses its project before the memory is spent, and bitmap
// entries the manifest does not name are never read.
TEST_F(HostileProjectTest, GeneratedHostileProjectsStayWithinTheirBudgets)
{
    QProcess generator;
    generator.start("python3", {PIXVEL_HOSTILE_PROJECTS, folder_.path()});
    ASSERT_TRUE(generator.waitForFinished(60000));
    ASSERT_EQ(generator.exitCode(), 0) << generator.readAllStandardError().toStdString();

    for (const char* name :
         {"long-texts.pixvel", "base-claim.pixvel", "pixel-bomb.pixvel", "inflated-bomb.pixvel"}) {
        EXPECT_TRUE(Refusal(Path(name)).startsWith(CProjectManifest::OverBudget())) << name;
    }
    QString error;
    const std::optional<ProjectContent> unnamed =
        CProjectReader::Read(Path("unnamed-bitmaps.pixvel"), &error);
    ASSERT_TRUE(unnamed.has_value()) << error.toStdString();
    EXPECT_EQ(unnamed->items.size(), 1u);
    EXPECT_EQ(unnamed->baseSize, QSizeF(64, 48));
}

// ---- OpenRaster

TEST_F(ProjectFilesTest, OpenRasterExportIsReadByASecondReader)
{
    const QString path = Path("layers.ora");
    QString error;
    ASSERT_TRUE(COraExporter::Export(ProjectContent::Snapshot(canvas_), path, &error))
        << error.toStdString();
    // Python's zipfile and XML parser read it as other editors do: the
    // mimetype entry first and stored, a layer per item with its name and
    // the picture's size (PNG header), the merged picture and a thumbnail.
    const char* const script = R"(
import sys, zipfile, struct, xml.etree.ElementTree as ET
z = zipfile.ZipFile(sys.argv[1])
assert z.testzip() is None
first = z.infolist()[0]
print(first.filename, first.compress_type, z.read('mimetype').decode())
def size(name):
    data = z.read(name)
    assert data[:8] == b'\x89PNG\r\n\x1a\n'
    return struct.unpack('>II', data[16:24])
root = ET.fromstring(z.read('stack.xml'))
print(root.get('w'), root.get('h'))
for layer in root.find('stack').findall('layer'):
    print(layer.get('name'), *size(layer.get('src')))
print('merged', *size('mergedimage.png'))
print('thumbnail', *size('Thumbnails/thumbnail.png'))
)";
    QProcess python;
    python.start("python3", {"-c", script, path});
    ASSERT_TRUE(python.waitForFinished(30000));
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    const QStringList lines = QString::fromUtf8(python.readAllStandardOutput()).split('\n');
    const QStringList expected = {"mimetype 0 image/openraster",
                                  "160 120",
                                  "두 줄 160 120",
                                  "안녕 Pixvel 160 120",
                                  "star.png 160 120",
                                  "heart.png 160 120",
                                  "heart.png 160 120",
                                  "배경 160 120",
                                  "merged 160 120",
                                  "thumbnail 160 120",
                                  ""};
    EXPECT_EQ(lines, expected);
}

TEST_F(ProjectFilesTest, OpenRasterLayersHoldEachItemAloneOnTransparency)
{
    const QString path = Path("alone.ora");
    ASSERT_TRUE(COraExporter::Export(ProjectContent::Snapshot(canvas_), path, nullptr));
    std::map<std::string, QByteArray> entries;
    CZipReader reader;
    reader.OpenArchive(QFile::encodeName(path).toStdString());
    for (bool more = reader.HasEntry(); more; more = reader.GoToNextEntry()) {
        QByteArray bytes;
        char chunk[4096];
        reader.OpenEntry();
        for (size_t got; (got = reader.ReadEntry(chunk, sizeof chunk)) > 0;) {
            bytes.append(chunk, qsizetype(got));
        }
        reader.CloseEntry();
        entries[reader.EntryName()] = bytes;
    }
    // The star lies at (100, 80) to (125, 105) and nowhere else.
    const QImage star = QImage::fromData(entries["data/layer3.png"]);
    EXPECT_EQ(qAlpha(star.pixel(5, 5)), 0);
    const QImage sticker = static_cast<CPictureItem*>(canvas_.ItemAt(3))->Bitmap();
    EXPECT_EQ(star.pixel(112, 92), sticker.convertToFormat(QImage::Format_ARGB32).pixel(12, 12));
    const QImage merged = QImage::fromData(entries["mergedimage.png"]);
    EXPECT_TRUE(merged.convertToFormat(QImage::Format_RGB32) ==
                canvas_.Render().convertToFormat(QImage::Format_RGB32));
}

} // namespace

namespace {

// Large pictures are written in bands on several threads; any PNG reader
// must read back exactly the pixels, in both of the editor's formats, and
// the resolution.
TEST(PngBandWriterTest, LargePicturesComeBackExactly)
{
    for (const QImage::Format format :
         {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
        QImage picture = Pattern(701, 523, format, 5); // odd sizes: uneven bands
        picture.setDotsPerMeterX(11811);               // 300 dpi
        picture.setDotsPerMeterY(11811);
        const QByteArray png = CPngBatch::Encode(picture);
        ASSERT_FALSE(png.isEmpty());
        const QImage back = CProjectReader::DecodeBitmap(png);
        EXPECT_EQ(back.format(), format);
        EXPECT_TRUE(back == picture) << format;
        EXPECT_EQ(back.dotsPerMeterX(), 11811);
    }
}

} // namespace

namespace {

TEST(ProjectWriterTest, NothingToSaveWritesNoProject)
{
    QTemporaryDir folder;
    QString error;
    EXPECT_FALSE(CProjectWriter::Save(ProjectContent(), folder.filePath("empty.pixvel"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(folder.filePath("empty.pixvel")));
}

} // namespace
