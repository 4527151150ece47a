#include "CPngBatch.h"

#include "CImagePlugins.h"
#include "CParallelRows.h"
#include "CPngBandWriter.h"

#include <QBuffer>
#include <QImageWriter>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <memory>

namespace {

// Qt's PNG writer turns quality 80 into zlib level 1.
constexpr int kPngQuality = 80;
constexpr unsigned kMaxWorkers = 4;

} // namespace

QByteArray CPngBatch::Encode(const QImage& picture)
{
    // A large picture uses every core; a small one is not worth the threads.
    if (qint64(picture.width()) * picture.height() >= CParallelRows::kMinPixelsToSplit) {
        return CPngBandWriter::Encode(picture);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(kPngQuality);
    if (picture.isNull() || !writer.write(picture)) {
        return {};
    }
    return bytes;
}

std::vector<QByteArray> CPngBatch::EncodeAll(size_t count,
                                             const std::function<QImage(size_t)>& make)
{
    std::vector<QByteArray> encoded(count);
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t i = next++; i < count; i = next++) {
            try {
                encoded[i] = Encode(make(i));
            } catch (...) {
                encoded[i].clear(); // out of memory: this picture fails, the rest go on
            }
        }
    };
    const size_t workers =
        std::min<size_t>({size_t(std::max(1, QThread::idealThreadCount())), kMaxWorkers, count});
    CImagePlugins::Load();
    // Qt threads: the encoders make Qt objects (buffers, writers).
    std::vector<std::unique_ptr<QThread>> threads;
    for (size_t i = 1; i < workers; ++i) {
        threads.emplace_back(QThread::create(work));
        threads.back()->start();
    }
    work();
    for (std::unique_ptr<QThread>& thread : threads) {
        thread->wait();
    }
    return encoded;
}
