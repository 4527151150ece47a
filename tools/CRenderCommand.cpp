#include "CRenderCommand.h"

#include "CBitmap.h"
#include "CImageEncoders.h"
#include "CQuietStderr.h"
#include "CToolError.h"

const char* const CRenderCommand::kOptions =
    "      OUTPUT's extension picks the format: .jpg .jpeg .jpe .jfif (quality 95),\n"
    "      .png, .bmp .dib .rle, .gif, .tif .tiff (LZW).\n";

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

} // namespace

int CRenderCommand::Run(CToolArguments& arguments)
{
    const QString input = arguments.Take("INPUT (usage: pixvel-tool render INPUT OUTPUT)");
    const QString output = arguments.Take("OUTPUT (usage: pixvel-tool render INPUT OUTPUT)");
    arguments.ExpectEnd();

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
    if (Failed(bitmap.Save(output, choice))) {
        throw CToolError(QString("cannot write '%1' (status %2); nothing was changed")
                             .arg(output)
                             .arg(int(bitmap.LastStatus())));
    }
    return 0;
}
