#include "CFilterEngine.h"

#include "CParallelRows.h"
#include "PixelLayout.h"
#include "VectorClones.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <list>
#include <new>
#include <numeric>

namespace {

// With three taps the outer weights are 1 and a larger centre weight changes
// no result: out = x + floor((a + b − 2x) / (centre + 2)) is the same for
// every centre above 510. Capping it keeps every product and sum below 2^24.
constexpr int kMaxCentreWeight = 65000;

// Exact integer division of 16-bit sums by one divisor: x / d equals
// (x × multiplier) >> (16 + shift) for every x up to `limit`, checked for each
// x when the divider is made.
struct Divider16
{
    uint32_t multiplier = 0;
    int shift = 0;

    static std::optional<Divider16> Make(uint32_t d, uint32_t limit)
    {
        for (int shift = 0; shift < 16; ++shift) {
            const uint32_t multiplier = ((1u << (16 + shift)) + d - 1) / d;
            if (multiplier > 0xFFFF) {
                break;
            }
            bool exact = true;
            for (uint32_t x = 0; x <= limit && exact; ++x) {
                exact = ((x * multiplier) >> (16 + shift)) == x / d;
            }
            if (exact) {
                return Divider16{multiplier, shift};
            }
        }
        return std::nullopt;
    }
};

// out[i] = divide(Σ_k weights[k] · lines[k][i]) for i in [0, count), in
// blocks whose sums stay in the first-level cache. Always inlined, so that it
// is compiled for the instruction set of each caller's version.
template <typename Sum, int kBlock, typename Weight, typename Divide>
[[gnu::always_inline]] inline void Convolve(const uchar* const* lines, const Weight* weights,
                                            int taps, uchar* out, int count, Divide divide)
{
    Sum sum[kBlock];
    for (int start = 0; start < count; start += kBlock) {
        const int length = std::min(kBlock, count - start);
        const uchar* __restrict line = lines[0] + start;
        for (int i = 0; i < length; ++i) {
            sum[i] = Sum(weights[0] * line[i]);
        }
        for (int k = 1; k < taps; ++k) {
            const uchar* __restrict next = lines[k] + start;
            const Weight weight = weights[k];
            for (int i = 0; i < length; ++i) {
                sum[i] = Sum(sum[i] + weight * next[i]);
            }
        }
        uchar* __restrict target = out + start;
        for (int i = 0; i < length; ++i) {
            target[i] = divide(sum[i]);
        }
    }
}

// out[i] = trunc(Σ_k weights[k] · lines[k][i] / divisor) for i in [0, count).
// Every product and partial sum is an integer below 2^24 and so exact in
// single precision; the quotient of two such integers, truncated, is the
// integer quotient. The loops therefore vectorise without changing a result.
PIXVEL_VECTOR_CLONES
void ConvolveWide(const uchar* const* lines, const float* weights, int taps, float divisor,
                  uchar* out, int count)
{
    Convolve<float, 512>(lines, weights, taps, out, count,
                         [divisor](float sum) { return uchar(int(sum / divisor)); });
}

// The same for kernels whose weighted sums stay below 2^16: 16-bit lanes
// hold twice as many values, and the division is the exact multiply-shift.
PIXVEL_VECTOR_CLONES
void ConvolveNarrow(const uchar* const* lines, const uint16_t* weights, int taps, Divider16 divider,
                    uchar* out, int count)
{
    // The high half of a 16 × 16-bit product, which the vectoriser does in one step.
    const uint16_t multiplier = uint16_t(divider.multiplier);
    const int shift = divider.shift;
    Convolve<uint16_t, 1024>(lines, weights, taps, out, count, [=](uint16_t sum) {
        return uchar(uint16_t((uint32_t(sum) * multiplier) >> 16) >> shift);
    });
}

// A kernel ready for the convolution loops.
class Taps
{
public:
    explicit Taps(const GaussianKernel& kernel) : radius_(kernel.radius)
    {
        weights_.assign(kernel.weights.begin(), kernel.weights.end());
        prefix_.resize(weights_.size() + 1, 0.0f);
        std::partial_sum(weights_.begin(), weights_.end(), prefix_.begin() + 1);
        if (kernel.sum * 255 <= 0xFFFF) {
            narrowWeights_.assign(kernel.weights.begin(), kernel.weights.end());
            divider_ = Divider16::Make(uint32_t(kernel.sum), uint32_t(kernel.sum * 255));
        }
    }

    int Radius() const { return radius_; }
    int Size() const { return int(weights_.size()); }

    // Convolves `count` values of the lines of taps first..last (`lines[0]`
    // is the line of tap `first`), dividing by the weights of those taps.
    void Span(const uchar* const* lines, int first, int last, uchar* out, int count) const
    {
        if (first == 0 && last == Size() - 1 && divider_) {
            ConvolveNarrow(lines, narrowWeights_.data(), Size(), *divider_, out, count);
            return;
        }
        ConvolveWide(lines, weights_.data() + first, last - first + 1,
                     prefix_[last + 1] - prefix_[first], out, count);
    }

    // Filters one row of 4-byte pixels along its length. Near the ends the
    // window is clipped to the row.
    void Row(const uchar* source, int width, uchar* out) const
    {
        std::array<const uchar*, CFilterEngine::kMaxKernelSize> lines;
        const int interiorEnd = std::max(radius_, width - radius_);
        for (int p = 0; p < width; ++p) {
            if (p == radius_ && interiorEnd > p) {
                // Every position with a whole window, in one span.
                for (int k = 0; k < Size(); ++k) {
                    lines[k] = source + 4 * k;
                }
                Span(lines.data(), 0, Size() - 1, out + 4 * p, 4 * (interiorEnd - p));
                p = interiorEnd - 1;
                continue;
            }
            const int first = std::max(0, radius_ - p);
            const int last = std::min(Size() - 1, radius_ + (width - 1 - p));
            for (int k = first; k <= last; ++k) {
                lines[k - first] = source + 4 * (p - radius_ + k);
            }
            Span(lines.data(), first, last, out + 4 * p, 4);
        }
    }

private:
    std::vector<float> weights_;
    std::vector<float> prefix_; // prefix_[k] = sum of weights_[0..k)
    std::vector<uint16_t> narrowWeights_;
    std::optional<Divider16> divider_;
    int radius_ = 0;
};

// The rows a blur reads, which may be the rows it writes. Each band of rows
// is blurred on its own thread; a band writing its rows in place would change
// rows its neighbours still read, so the rows within reach of another band are
// copied aside before the bands start, and a band reads rows outside itself
// from those copies.
class SourceRows
{
public:
    SourceRows(const uchar* bits, qsizetype stride, int height, const std::vector<int>& bands,
               int reach, bool inPlace)
        : bits_(bits), stride_(stride), saved_(inPlace ? height : 0, nullptr)
    {
        if (!inPlace) {
            return;
        }
        for (size_t band = 1; band + 1 < bands.size(); ++band) {
            for (int y = std::max(0, bands[band] - reach);
                 y < std::min(height, bands[band] + reach); ++y) {
                if (saved_[y] == nullptr) {
                    copies_.emplace_back(bits + y * stride, bits + y * stride + stride);
                    saved_[y] = copies_.back().data();
                }
            }
        }
    }

    const uchar* Row(int y, int firstRow, int endRow) const
    {
        const bool own = y >= firstRow && y < endRow;
        return own || saved_.empty() ? bits_ + y * stride_ : saved_[y];
    }

private:
    const uchar* bits_;
    qsizetype stride_;
    std::vector<const uchar*> saved_;
    std::list<std::vector<uchar>> copies_;
};

// Blurs rows firstRow..endRow into `target`: each row along its pixels into a
// ring of recent rows, then down the columns from the ring, so the
// intermediate rows never leave the cache. A source row is read before the
// band writes the target row of the same place.
void BlurBand(const SourceRows& source, int width, int height, uchar* target, qsizetype stride,
              const Taps& taps, int firstRow, int endRow)
{
    const qsizetype rowBytes = 4 * qsizetype(width);
    const int ringRows = taps.Size();
    std::vector<uchar> ring(size_t(ringRows) * rowBytes);
    const auto ringRow = [&](int y) { return ring.data() + (y % ringRows) * rowBytes; };
    int nextAcross = std::max(0, firstRow - taps.Radius());
    std::array<const uchar*, CFilterEngine::kMaxKernelSize> lines;
    for (int y = firstRow; y < endRow; ++y) {
        const int first = std::max(0, taps.Radius() - y);
        const int last = std::min(taps.Size() - 1, taps.Radius() + (height - 1 - y));
        for (; nextAcross <= y - taps.Radius() + last; ++nextAcross) {
            taps.Row(source.Row(nextAcross, firstRow, endRow), width, ringRow(nextAcross));
        }
        for (int k = first; k <= last; ++k) {
            lines[k - first] = ringRow(y - taps.Radius() + k);
        }
        taps.Span(lines.data(), first, last, target + y * stride, int(rowBytes));
    }
}

// Blurs a 4-byte picture; in place when no other QImage shares it.
QImage Blur(QImage surface, const GaussianKernel& kernel)
{
    if (kernel.weights.size() == 1) {
        surface.detach();
        return surface;
    }
    const bool inPlace = surface.isDetached();
    QImage result = inPlace ? surface : QImage(surface.size(), surface.format());
    if (result.isNull()) {
        return QImage();
    }
    // Row buffers that cannot be had (a very wide picture) end the blur
    // without a picture, as a picture that cannot be allocated does.
    try {
        const Taps taps(kernel);
        const std::vector<int> bands = CParallelRows::Bands(surface.height(), surface.width());
        const SourceRows source(surface.constBits(), surface.bytesPerLine(), surface.height(),
                                bands, taps.Radius(), inPlace);
        surface = QImage(); // the result alone holds the pixels when in place
        uchar* const bits = result.bits();
        CParallelRows::RunBands(bands, [&](int firstRow, int endRow) {
            BlurBand(source, result.width(), result.height(), bits, result.bytesPerLine(), taps,
                     firstRow, endRow);
        });
    } catch (const std::bad_alloc&) {
        return QImage();
    }
    return result;
}

// blurred[i] = trunc(clamp(source[i] × (amount + 1) − blurred[i] × amount, 0, 255)),
// in double precision with amount + 1 rounded to single precision.
PIXVEL_VECTOR_CLONES
void SharpenSpan(const uchar* __restrict source, uchar* __restrict blurred, int count,
                 double amountPlusOne, double amount)
{
    for (int i = 0; i < count; ++i) {
        const double value = double(source[i]) * amountPlusOne - double(blurred[i]) * amount;
        blurred[i] = uchar(int(std::clamp(value, 0.0, 255.0)));
    }
}

// Gives each pixel the source's alpha again; a premultiplied colour never
// exceeds its alpha.
void KeepAlpha(const uchar* source, uchar* out, int width, bool opaque)
{
    if (opaque) {
        auto* pixels = reinterpret_cast<uint32_t*>(out);
        for (int x = 0; x < width; ++x) {
            pixels[x] |= 0xFF000000u;
        }
        return;
    }
    for (int x = 0; x < 4 * width; x += 4) {
        const uchar alpha = source[x + 3];
        for (int c = 0; c < 3; ++c) {
            out[x + c] = std::min(out[x + c], alpha);
        }
        out[x + 3] = alpha;
    }
}

// Replaces each blurred value by the sharpened one.
void SharpenRows(const QImage& source, QImage& blurred, float amount)
{
    const double amountPlusOne = double(amount + 1.0f);
    const bool opaque = !source.hasAlphaChannel();
    uchar* const blurredBits = blurred.bits();
    CParallelRows::Run(source.height(), source.width(), [&](int firstRow, int endRow) {
        for (int y = firstRow; y < endRow; ++y) {
            const uchar* in = source.constScanLine(y);
            uchar* out = blurredBits + y * blurred.bytesPerLine();
            SharpenSpan(in, out, 4 * source.width(), amountPlusOne, double(amount));
            KeepAlpha(in, out, source.width(), opaque);
        }
    });
}

} // namespace

std::optional<GaussianKernel> CFilterEngine::MakeKernel(float radius)
{
    const double n = std::floor(double(radius) * 5.0 + 1.5);
    if (!(n <= kMaxKernelSize)) {
        return std::nullopt;
    }
    const int size = std::max(1, int(n)) | 1;
    GaussianKernel kernel;
    kernel.radius = size / 2;
    kernel.weights.assign(size, 1);
    if (size > 1) {
        const int u = kernel.radius;
        const double twoR2 = float(2.0 * double(radius) * double(radius));
        const float d = float(std::exp(double(u * u) / twoR2));
        kernel.weights[u] = int(std::min(std::floor(double(d) + 0.5), double(kMaxCentreWeight)));
        for (int j = 1; j <= u; ++j) {
            const int weight = int(std::floor(double(d) * std::exp(-double(j * j) / twoR2) + 0.5));
            kernel.weights[u - j] = weight;
            kernel.weights[u + j] = weight;
        }
    }
    kernel.sum = std::accumulate(kernel.weights.begin(), kernel.weights.end(), 0);
    return kernel;
}

QImage CFilterEngine::GaussianBlur(QImage source, float radius)
{
    const std::optional<GaussianKernel> kernel = MakeKernel(radius);
    if (!kernel || source.isNull()) {
        return QImage();
    }
    QImage surface =
        InLayout(std::move(source), QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied);
    return surface.isNull() ? QImage() : Blur(std::move(surface), *kernel);
}

QImage CFilterEngine::UnsharpMask(const QImage& source, float radius, float amount)
{
    const std::optional<GaussianKernel> kernel = MakeKernel(radius);
    if (!kernel || source.isNull()) {
        return QImage();
    }
    const QImage surface =
        InLayout(source, QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied);
    QImage blurred = surface.isNull() ? QImage() : Blur(surface, *kernel);
    if (blurred.isNull()) {
        return QImage();
    }
    // Each value of the blurred picture is read once, then replaced by the result.
    SharpenRows(surface, blurred, amount);
    return blurred;
}
