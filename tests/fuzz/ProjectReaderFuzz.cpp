// libFuzzer target for the project reader: a project file comes from
// anywhere a user downloads or is sent one. An input that starts like a ZIP
// package is read as a project file (package, manifest, bitmaps); any other
// input is read as a manifest alone. Refusals are the expected outcome;
// crashes, sanitizer reports and hangs are faults.

#include "CProjectManifest.h"
#include "CProjectReader.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The decoders' complaints about damaged input would bury the fuzzer's own
// report.
void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Text items are laid out with fonts, which need the GUI library.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(Quiet);
    new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const int fd = memfd_create("project", 0);
    static const QString path = QStringLiteral("/proc/self/fd/%1").arg(fd);
    if (size >= 2 && data[0] == 'P' && data[1] == 'K') {
        if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size)) {
            return 0;
        }
        (void)CProjectReader::Read(path, nullptr);
    } else {
        const QByteArray json(reinterpret_cast<const char*>(data), qsizetype(size));
        (void)CProjectManifest::Read(json, nullptr);
    }
    return 0;
}
