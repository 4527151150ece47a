// libFuzzer target for picture loading: item packages from the web reach
// the decoders without a user opening anything (the item library makes
// thumbnails of whatever lands in the items folder). Every input is checked
// for completeness as each format, loaded whole and loaded as a 60×60
// thumbnail. Refusals are the expected outcome; crashes, sanitizer reports
// and hangs are faults.

#include "CBitmap.h"
#include "CImageFileCheck.h"

#include <cstddef>
#include <cstdint>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

// Pictures larger than this are refused before decoding here: decoding a
// claimed 16384×16384 picture is allowed but takes seconds, which would only
// slow the search down.
constexpr qint64 kMaxFuzzPixels = 4096 * 4096;

// The decoders' complaints about damaged input would bury the fuzzer's own
// report.
void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

bool WriteInput(const std::string& path, const uint8_t* data, size_t size)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    const bool written = write(fd, data, size) == ssize_t(size);
    close(fd);
    return written;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string file = "/tmp/pixvel-picture-fuzz-" + std::to_string(getpid());
    static const QString path = QString::fromStdString(file);
    static const auto previous = qInstallMessageHandler(Quiet);
    (void)previous;
    if (!WriteInput(file, data, size)) {
        return 0;
    }
    for (const char* format : {"jpeg", "png", "gif", "bmp", "tiff", "svg", "webp", "heif"}) {
        (void)CImageFileCheck::IsComplete(path, format);
    }
    QSize size2d;
    if (Failed(CBitmap::Probe(path, &size2d))) {
        return 0;
    }
    if (qint64(size2d.width()) * size2d.height() <= kMaxFuzzPixels) {
        (void)CBitmap::FromFile(path).Image();
        (void)CBitmap::Thumbnail(path, 60, 60).Image();
    }
    return 0;
}
