#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ToolResult
{
    int exitCode = -1;
    QString error;
};

ToolResult RunTool(const QStringList& arguments)
{
    QProcess process;
    process.start(PIXVEL_TOOL, arguments);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

class RenderCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QImage picture(64, 40, QImage::Format_RGB32);
        picture.fill(qRgb(30, 120, 200));
        input_ = dir_.filePath("a.png");
        ASSERT_TRUE(picture.save(input_));
    }

    QString Path(const QString& name) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
    QString input_;
};

} // namespace

TEST_F(RenderCommandTest, WritesTheFormatTheNameAsksFor)
{
    const std::pair<const char*, const char*> cases[] = {
        {"b.jpg", "jpeg"}, {"photo.JPG", "jpeg"}, {"b.tif", "tiff"}, {"b.tiff", "tiff"},
        {"b.gif", "gif"},  {"b.bmp", "bmp"},      {"b.png", "png"},  {"b.webp", "webp"}};
    for (const auto& [name, format] : cases) {
        const ToolResult result = RunTool({"render", input_, Path(name)});
        EXPECT_EQ(result.exitCode, 0) << name << result.error.toStdString();
        QImageReader reader(Path(name));
        EXPECT_EQ(reader.format(), format) << name;
        EXPECT_EQ(reader.read().size(), QSize(64, 40)) << name;
    }
}

TEST_F(RenderCommandTest, RefusalsLeaveTheOutputAlone)
{
    QFile existing(Path("keep"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("old");
    existing.close();

    const QStringList refused[] = {
        {"render", input_, Path("keep")},               // no extension
        {"render", input_, Path("png")},                // a format's name, no extension
        {"render", input_, Path("b.p")},                // part of an extension
        {"render", input_, Path("b.")},                 // an empty extension
        {"render", input_, Path("b.heic")},             // read-only format
        {"render", Path("missing.png"), Path("c.png")}, // unreadable input
        {"render", input_},                             // missing output
        {"render", input_, Path("d.png"), "--bogus"},   // unknown word
        {"unknown-command"},
    };
    for (const QStringList& arguments : refused) {
        const ToolResult result = RunTool(arguments);
        EXPECT_EQ(result.exitCode, 1) << arguments.join(' ').toStdString();
        EXPECT_TRUE(result.error.startsWith("pixvel-tool: "));
        EXPECT_EQ(result.error.count('\n'), 1) << result.error.toStdString();
    }
    for (const char* name : {"b.heic", "png", "b.p", "b."}) {
        EXPECT_FALSE(QFile::exists(Path(name))) << name;
    }
    EXPECT_FALSE(QFile::exists(Path("c.png")));
    EXPECT_FALSE(QFile::exists(Path("d.png")));
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), "old");
}

TEST_F(RenderCommandTest, PhonePhotosAndWebStickersRenderToWebp)
{
    QProcess encode;
    encode.start("heif-enc", {"-q", "90", "-o", Path("a.heic"), input_});
    ASSERT_TRUE(encode.waitForFinished(60000) && encode.exitCode() == 0)
        << encode.readAllStandardError().toStdString();
    QImage sticker(10, 10, QImage::Format_ARGB32);
    sticker.fill(qRgba(255, 0, 0, 255));
    ASSERT_TRUE(sticker.save(Path("star.webp")));

    const ToolResult result = RunTool(
        {"render", Path("a.heic"), Path("out.webp"), "--item", Path("star.webp") + "@20,20"});
    EXPECT_EQ(result.exitCode, 0) << result.error.toStdString();
    QImageReader reader(Path("out.webp"));
    EXPECT_EQ(reader.format(), "webp");
    const QImage out = reader.read();
    ASSERT_EQ(out.size(), QSize(64, 40));
    EXPECT_GT(qRed(out.pixel(20, 20)), 200);  // the sticker
    EXPECT_GT(qBlue(out.pixel(50, 30)), 150); // the photo
}

TEST_F(RenderCommandTest, DamagedInputIsRefusedInOneLine)
{
    QFile damaged(Path("damaged.jpg"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("\xff\xd8\xff\xe0 then nothing useful");
    damaged.close();
    const ToolResult result = RunTool({"render", Path("damaged.jpg"), Path("out.png")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.error.count('\n'), 1) << result.error.toStdString();
    EXPECT_FALSE(QFile::exists(Path("out.png")));
}

TEST_F(RenderCommandTest, ProjectsKeepTheDecorationAndExportAsLayers)
{
    const QStringList decoration = {
        "--item", input_ + "@20,15,30,20", "--rotate", "30", "--hue", "90", "--text", "안녕@5,5",
        "--bold"};
    ASSERT_EQ(RunTool(QStringList{"render", input_, Path("flat.png")} + decoration).exitCode, 0);
    ASSERT_EQ(RunTool(QStringList{"render", input_, Path("p.pixvel")} + decoration).exitCode, 0);
    // The project drawn flat is the picture drawn at once.
    ASSERT_EQ(RunTool({"render", Path("p.pixvel"), Path("again.png")}).exitCode, 0);
    EXPECT_TRUE(QImage(Path("again.png")) == QImage(Path("flat.png")));

    ASSERT_EQ(RunTool({"export", Path("p.pixvel"), Path("p.ora")}).exitCode, 0);
    EXPECT_TRUE(QFile::exists(Path("p.ora")));
    // Not an OpenRaster name, not a project: refused, nothing written.
    EXPECT_EQ(RunTool({"export", Path("p.pixvel"), Path("p.png")}).exitCode, 1);
    EXPECT_FALSE(QFile::exists(Path("p.png")));
    const ToolResult notProject = RunTool({"export", input_, Path("q.ora")});
    EXPECT_EQ(notProject.exitCode, 1);
    EXPECT_TRUE(notProject.error.contains("cannot read")) << notProject.error.toStdString();
    EXPECT_FALSE(QFile::exists(Path("q.ora")));
}

TEST_F(RenderCommandTest, CaptionStylesDrawDirectlyAndThroughAProjectAlike)
{
    // A 64 × 40 blue picture; white text with a black outline, a soft red
    // shadow and a half see-through green box, then turned.
    const QStringList styled = {
        "--text",    "Hi@8,4",   "--size",        "20",    "--color",       "#FFFFFF",  "--outline",
        "#000000,2", "--shadow", "#FF0000,3,3,2", "--box", "#00FF0080,4,3", "--rotate", "10"};
    ASSERT_EQ(RunTool(QStringList{"render", input_, Path("flat.png")} + styled).exitCode, 0);
    ASSERT_EQ(RunTool(QStringList{"render", input_, Path("p.pixvel")} + styled).exitCode, 0);
    ASSERT_EQ(RunTool({"render", Path("p.pixvel"), Path("again.png")}).exitCode, 0);
    const QImage flat(Path("flat.png"));
    EXPECT_TRUE(QImage(Path("again.png")) == flat);
    // The box shows at the picture's corner nearest the text's top-left.
    const QRgb box = flat.pixel(6, 6);
    EXPECT_NEAR(qGreen(box), (255 + 120) / 2, 3);
    EXPECT_NEAR(qBlue(box), 200 / 2, 3);
    EXPECT_EQ(flat.pixel(60, 38), qRgb(30, 120, 200)); // far from it all

    // Each refused in one line, nothing written.
    const QStringList refused[] = {
        {"--outline", "#000000,2"},                       // no text yet
        {"--text", "a@1,1", "--outline", "#000000,21"},   // too wide
        {"--text", "a@1,1", "--outline", "black,2"},      // not #RRGGBB
        {"--text", "a@1,1", "--outline", "#00000080,2"},  // no opacity for an outline
        {"--text", "a@1,1", "--shadow", "#000000,51,0"},  // too far
        {"--text", "a@1,1", "--shadow", "#000000,1"},     // DX,DY needed
        {"--text", "a@1,1", "--shadow", "#000000,1,1,9"}, // too soft
        {"--text", "a@1,1", "--box", "#0000001,1"},       // seven digits
        {"--text", "a@1,1", "--box", "#000000,-1"},       // padding below 0
        {"--text", "a@1,1", "--box", "#000000,1,1,1"},    // a field too many
    };
    for (const QStringList& options : refused) {
        const ToolResult result = RunTool(QStringList{"render", input_, Path("bad.png")} + options);
        EXPECT_EQ(result.exitCode, 1) << options.join(' ').toStdString();
        EXPECT_EQ(result.error.count('\n'), 1) << result.error.toStdString();
        EXPECT_FALSE(QFile::exists(Path("bad.png")));
    }
}
