#include "CRenderCommand.h"

#include "CBitmap.h"
#include "CEffectOptions.h"
#include "CEffectPainter.h"
#include "CImageEncoders.h"
#include "CItemCanvas.h"
#include "CItemOptions.h"
#include "CPictureItem.h"
#include "CProjectReader.h"
#include "CProjectWriter.h"
#include "CQuietStderr.h"
#include "CToolError.h"
#include "ItemEffects.h"

#include <QFileInfo>
#include <QPainter>

const char* const CRenderCommand::kOptions =
    "      INPUT (a picture, HEIC and AVIF included, or a .pixvel project with\n"
    "      all its items) is drawn\n"
    "      with its effects onto a white picture of its size,\n"
    "      which is written to OUTPUT. OUTPUT's extension picks the format:\n"
    "      .jpg .jpeg .jpe .jfif (quality 95), .png, .bmp .dib .rle, .gif,\n"
    "      .tif .tiff (LZW), .webp (quality 90); .pixvel writes a project that\n"
    "      keeps every item editable. HEIC and AVIF are read, never written.\n"
    "  effects of the picture:\n"
    "    --hue DEG                 hue rotation, -180..180\n"
    "    --saturation PCT          0..300 (100 unchanged, 0 grey)\n"
    "    --brightness PCT          -100..100\n"
    "    --contrast F              0.2..4.0\n"
    "    --gamma F                 0.2..4.0 (above 1 darkens)\n"
    "    --sharpen AMOUNT,RADIUS   unsharp mask, amount 0..4, radius 0..8\n"
    "    --blur RADIUS             Gaussian blur, radius 0..8\n"
    "    --greyscale               grey picture (wins over --saturation)\n"
    "    --invert                  negative\n"
    "    --opacity PCT             0..100\n"
    "  decorating, applied in the order given; effects apply to the item added\n"
    "  last (the picture itself when none was added):\n"
    "    --item FILE@X,Y[,W,H]     a picture centred on X,Y, at W x H if given\n"
    "    --text TEXT@X,Y           text with its top-left at X,Y; then:\n"
    "      --font FACE  --size PT  --bold  --italic  --underline  --color #RRGGBB\n"
    "      --outline #RRGGBB,WIDTH   outline round the letters, 0..20 px\n"
    "      --shadow #RRGGBB,DX,DY[,SOFT]\n"
    "                                shadow moved -50..50 px, softened 0..8\n"
    "      --box #RRGGBB[AA][,PADDING[,RADIUS]]\n"
    "                                box behind the text (AA: its opacity),\n"
    "                                padding and corner radius 0..100 px\n"
    "    --move DX,DY              move the last item\n"
    "    --rotate DEG              turn the last item about its centre\n"
    "    --flip h|v                mirror the last item\n"
    "    --turn right|left|180|mirror-h|mirror-v\n"
    "                              turn the whole picture; items keep their place\n"
    "    --crop X,Y,W,H            cut the picture; items keep their place on it\n"
    "    --crop-merged X,Y,W,H     merge the items into the picture, then cut\n"
    "    --append FILE,SIDE[,GAP[,#RRGGBB[,merge]]]\n"
    "                              join a picture above, below, left or right\n"
    "    --merge                   merge all items into the picture\n";

namespace {

QString DescribeLoadFailure(Status status)
{
    switch (status) {
    case Status::FileNotFound:
        return "no such file";
    case Status::AccessDenied:
        return "not a file";
    case Status::OutOfMemory:
        return "the picture is too large";
    case Status::UnknownImageFormat:
        return "not a picture in a known format";
    default:
        return "the picture is damaged or cannot be read";
    }
}

// The encoder whose list names OUTPUT's extension exactly. The editor's rule
// searches the lists as text, which would also take "x.p" or a file named
// "png" for a picture format.
EncoderChoice ChooseByExtension(const QString& output)
{
    const QString pattern = "*." + QFileInfo(output).suffix();
    for (const ImageEncoderInfo& encoder : CImageEncoders::Encoders()) {
        if (pattern.size() > 2 && QString::fromLatin1(encoder.extensions)
                                      .split(';')
                                      .contains(pattern, Qt::CaseInsensitive)) {
            return CImageEncoders::ChooseEncoder(QString::fromLatin1(encoder.mimeType));
        }
    }
    return {};
}

// The picture drawn with its effects onto opaque white, as the editor renders it.
CBitmap Composite(QImage picture, const ItemEffects& effects)
{
    const QSize size = picture.size();
    QImage drawn = CEffectPainter::Apply(std::move(picture), effects);
    if (drawn.format() == QImage::Format_RGB32) {
        // Opaque and covering the whole picture: drawing it over white would
        // copy it byte for byte.
        return CBitmap(std::move(drawn));
    }
    QImage composite(size, QImage::Format_RGB32);
    if (drawn.isNull() || composite.isNull()) {
        return CBitmap();
    }
    composite.fill(Qt::white);
    QPainter painter(&composite);
    const QRectF place(QPointF(0, 0), size);
    CEffectPainter::DrawPlaced(painter, drawn,
                               {place.topLeft(), place.topRight(), place.bottomLeft()});
    painter.end();
    return CBitmap(std::move(composite));
}

// The composite of the canvas. A lone base picture in its own place is drawn
// straight from its bitmap, which the canvas gives up, so its effects can work
// in place.
CBitmap RenderCanvas(CItemCanvas& canvas)
{
    auto* base = static_cast<CPictureItem*>(canvas.ItemAt(0));
    const QRectF own(QPointF(0, 0), base->Size());
    if (canvas.Count() == 1 && base->Outline() == RectangleOutline(own) &&
        canvas.BaseSize() == own.size()) {
        QImage bitmap = base->Bitmap();
        base->ReleaseBitmap();
        return Composite(std::move(bitmap), base->Effects());
    }
    const QImage& composite = canvas.Render();
    return CBitmap(composite.convertToFormat(QImage::Format_RGB32));
}

// The picture or project named INPUT, put on the canvas.
void LoadInput(const QString& input, CItemCanvas& canvas)
{
    if (CProjectReader::IsProjectPath(input)) {
        QString error;
        std::optional<ProjectContent> project = CProjectReader::Read(input, &error);
        if (!project) {
            throw CToolError(QString("cannot read '%1': %2").arg(input, error));
        }
        project->MoveInto(canvas);
        return;
    }
    CBitmap bitmap = [&input] {
        CQuietStderr quiet;
        return CBitmap::FromFile(input);
    }();
    if (bitmap.IsNull()) {
        throw CToolError(
            QString("cannot read '%1': %2").arg(input, DescribeLoadFailure(bitmap.LastStatus())));
    }
    canvas.AddPicture(std::move(bitmap.Image()), 0, 0, 0, 0, 1.0f)->SetSourceName(input);
}

void SaveProject(const CItemCanvas& canvas, const QString& output)
{
    QString error;
    if (!CProjectWriter::Save(ProjectContent::Snapshot(canvas), output, &error)) {
        throw CToolError(QString("cannot write '%1': %2; nothing was changed").arg(output, error));
    }
}

} // namespace

int CRenderCommand::Run(CToolArguments& arguments)
{
    const QString input = arguments.Take("INPUT (usage: pixvel-tool render INPUT OUTPUT)");
    const QString output = arguments.Take("OUTPUT (usage: pixvel-tool render INPUT OUTPUT)");
    const bool project = CProjectReader::IsProjectPath(output);
    EncoderChoice choice = ChooseByExtension(output);
    if (!choice.found && !project) {
        throw CToolError(QString("cannot tell the picture format from '%1': name it .jpg, .png, "
                                 ".bmp, .gif or .tif")
                             .arg(output));
    }
    choice.jpegQuality = kDocumentJpegQuality;

    CItemCanvas canvas;
    LoadInput(input, canvas);
    CItemOptions items(canvas);
    while (!arguments.AtEnd()) {
        if (!CEffectOptions::TakeOption(arguments, items.LastItem().Effects()) &&
            !items.TakeOption(arguments)) {
            throw CToolError(QString("unknown option '%1' (try: pixvel-tool help render)")
                                 .arg(arguments.Peek()));
        }
    }

    if (project) {
        SaveProject(canvas, output);
        return 0;
    }
    CBitmap composite = RenderCanvas(canvas);
    if (composite.IsNull()) {
        throw CToolError("not enough memory for the picture; nothing was written");
    }
    if (Failed(composite.Save(output, choice))) {
        throw CToolError(QString("cannot write '%1' (status %2); nothing was changed")
                             .arg(output)
                             .arg(int(composite.LastStatus())));
    }
    return 0;
}
