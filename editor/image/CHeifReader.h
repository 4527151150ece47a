#pragma once

#include "Status.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

struct heif_context;
struct heif_image_handle;

// Reads the primary picture of a HEIF file (HEIC, AVIF) through libheif,
// turned and mirrored as the file's own transformations say.
class CHeifReader
{
public:
    CHeifReader();
    ~CHeifReader();
    CHeifReader(const CHeifReader&) = delete;
    CHeifReader& operator=(const CHeifReader&) = delete;

    // True when the file starts with the file-type box of a HEIF file.
    static bool Recognises(const QString& path);

    // Reads the file's boxes and finds its primary picture; no pixel is
    // decoded.
    Status Open(const QString& path);
    // The picture's size as it will be shown (after its turn).
    QSize Size() const;
    // Decodes the primary picture into 8-bit RGB, or RGBA when it has an
    // alpha channel.
    Status Read(QImage* image) const;

private:
    struct ContextFree
    {
        void operator()(heif_context* context) const;
    };
    struct HandleFree
    {
        void operator()(heif_image_handle* handle) const;
    };

    std::unique_ptr<heif_context, ContextFree> context_;
    std::unique_ptr<heif_image_handle, HandleFree> handle_;
};
