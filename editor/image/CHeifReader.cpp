#include "CHeifReader.h"

#include <QFile>

#include <libheif/heif.h>

namespace {

// The file-type box with its major brand and a few compatible brands.
constexpr qint64 kSniffBytes = 64;

Status StatusOf(const heif_error& error)
{
    switch (error.code) {
    case heif_error_Ok:
        return Status::Ok;
    case heif_error_Input_does_not_exist:
        return Status::FileNotFound;
    case heif_error_Unsupported_filetype:
    case heif_error_Unsupported_feature:
        return Status::UnknownImageFormat;
    case heif_error_Memory_allocation_error:
        return Status::OutOfMemory;
    default:
        return Status::GenericError;
    }
}

void InitialiseOnce()
{
    static const bool initialised = [] {
        heif_init(nullptr);
        return true;
    }();
    (void)initialised;
}

void ReleaseImage(void* image)
{
    heif_image_release(static_cast<heif_image*>(image));
}

struct DecodingOptionsFree
{
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};

} // namespace

void CHeifReader::ContextFree::operator()(heif_context* context) const
{
    heif_context_free(context);
}

void CHeifReader::HandleFree::operator()(heif_image_handle* handle) const
{
    heif_image_handle_release(handle);
}

CHeifReader::CHeifReader() = default;

CHeifReader::~CHeifReader() = default;

bool CHeifReader::Recognises(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray head = file.read(kSniffBytes);
    const heif_filetype_result result =
        heif_check_filetype(reinterpret_cast<const uint8_t*>(head.constData()), int(head.size()));
    return result == heif_filetype_yes_supported || result == heif_filetype_yes_unsupported;
}

Status CHeifReader::Open(const QString& path)
{
    InitialiseOnce();
    handle_.reset();
    context_.reset(heif_context_alloc());
    if (!context_) {
        return Status::OutOfMemory;
    }
    const QByteArray name = QFile::encodeName(path);
    if (const Status status =
            StatusOf(heif_context_read_from_file(context_.get(), name.constData(), nullptr));
        Failed(status)) {
        return status;
    }
    heif_image_handle* handle = nullptr;
    if (const Status status =
            StatusOf(heif_context_get_primary_image_handle(context_.get(), &handle));
        Failed(status)) {
        return status;
    }
    handle_.reset(handle);
    return Size().isEmpty() ? Status::GenericError : Status::Ok;
}

QSize CHeifReader::Size() const
{
    if (!handle_) {
        return {};
    }
    return {heif_image_handle_get_width(handle_.get()),
            heif_image_handle_get_height(handle_.get())};
}

Status CHeifReader::Read(QImage* image) const
{
    if (!handle_) {
        return Status::WrongState;
    }
    const std::unique_ptr<heif_decoding_options, DecodingOptionsFree> options(
        heif_decoding_options_alloc());
    if (!options) {
        return Status::OutOfMemory;
    }
    options->ignore_transformations = 0; // the file's turn and mirror are applied
    options->convert_hdr_to_8bit = 1;
    const bool alpha = heif_image_handle_has_alpha_channel(handle_.get()) != 0;
    heif_image* decoded = nullptr;
    if (const Status status = StatusOf(heif_decode_image(
            handle_.get(), &decoded, heif_colorspace_RGB,
            alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get()));
        Failed(status)) {
        return status;
    }
    int stride = 0;
    const uint8_t* pixels =
        heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
    const int width = heif_image_get_primary_width(decoded);
    const int height = heif_image_get_primary_height(decoded);
    if (pixels == nullptr || width <= 0 || height <= 0) {
        heif_image_release(decoded);
        return Status::GenericError;
    }
    const QImage::Format format = !alpha ? QImage::Format_RGB888
                                  : heif_image_handle_is_premultiplied_alpha(handle_.get())
                                      ? QImage::Format_RGBA8888_Premultiplied
                                      : QImage::Format_RGBA8888;
    // The picture keeps libheif's pixels, which are released with it.
    *image = QImage(pixels, width, height, stride, format, ReleaseImage, decoded);
    if (image->isNull()) {
        heif_image_release(decoded); // a picture that was not made does not release it
        return Status::OutOfMemory;
    }
    return Status::Ok;
}
