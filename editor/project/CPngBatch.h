#pragma once

#include <QByteArray>
#include <QImage>

#include <cstddef>
#include <functional>
#include <vector>

// Encodes pictures as PNG at zlib level 1 (what the picture save uses), a few
// at a time on their own threads. Pictures are made on the worker that
// encodes them, so at most one per worker is in memory at once.
class CPngBatch
{
public:
    // One PNG; empty when it cannot be written.
    static QByteArray Encode(const QImage& picture);
    // make(i) for i in [0, count), encoded; an empty result where making or
    // encoding failed. Nothing is thrown.
    static std::vector<QByteArray> EncodeAll(size_t count,
                                             const std::function<QImage(size_t)>& make);
};
