#include "CRenderCommand.h"

#include "CBitmap.h"
#include "CEffectOptions.h"
#include "CEffectPainter.h"
#include "CImageEncoders.h"
#include "CQuietStderr.h"
#include "CToolError.h"
#include "ItemEffects.h"

#include <QPainter>

const char* const CRenderCommand::kOptions =
    "      INPUT is drawn with its effects onto a white picture of its size,\n"
    "      which is written to OUTPUT. OUTPUT's extension picks the format:\n"
    "      .jpg .jpeg .jpe .jfif (quality 95), .png, .bmp .dib .rle, .gif,\n"
    "      .tif .tiff (LZW).\n"
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
    "    --opacity PCT             0..100\n";

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

} // namespace

int CRenderCommand::Run(CToolArguments& arguments)
{
    const QString input = arguments.Take("INPUT (usage: pixvel-tool render INPUT OUTPUT)");
    const QString output = arguments.Take("OUTPUT (usage: pixvel-tool render INPUT OUTPUT)");
    ItemEffects effects;
    while (!arguments.AtEnd()) {
        if (!CEffectOptions::TakeOption(arguments, effects)) {
            throw CToolError(QString("unknown option '%1' (try: pixvel-tool help render)")
                                 .arg(arguments.Peek()));
        }
    }

    EncoderChoice choice = CImageEncoders::ChooseEncoder(output);
    if (!choice.found) {
        throw CToolError(QString("cannot tell the picture format from '%1': name it .jpg, .png, "
                                 ".bmp, .gif or .tif")
                             .arg(output));
    }
    choice.jpegQuality = kDocumentJpegQuality;

    CBitmap bitmap = [&input] {
        CQuietStderr quiet;
        return CBitmap::FromFile(input);
    }();
    if (bitmap.IsNull()) {
        throw CToolError(
            QString("cannot read '%1': %2").arg(input, DescribeLoadFailure(bitmap.LastStatus())));
    }
    CBitmap composite = Composite(std::move(bitmap.Image()), effects);
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
