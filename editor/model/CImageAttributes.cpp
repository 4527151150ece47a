#include "CImageAttributes.h"

#include "CColourMatrix.h"
#include "CParallelRows.h"
#include "PixelLayout.h"
#include "VectorClones.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

// Matrix index of each byte of a 32-bit pixel in memory (blue, green, red, alpha).
constexpr int kMatrixIndexOfByte[4] = {2, 1, 0, 3};
constexpr int32_t kOne = 1 << CImageAttributes::kFractionBits;

int32_t Fixed(double value)
{
    return int32_t(std::lround(value * kOne));
}

using Coefficients = std::array<std::array<int32_t, 4>, 5>;
using GammaTable = std::array<uint8_t, 256>;

#if defined(__GNUC__) && defined(__x86_64__)
#define PIXVEL_HAVE_BYTE_PERMUTE
// The gamma table on whole 64-byte blocks with byte permutes: two lookups of
// 128 entries each, the index's top bit choosing between them, alpha bytes
// kept. Returns the number of pixels done.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) int
GammaPixelsPermute(uchar* pixels, int count, const uint8_t* table)
{
    const __m512i t0 = _mm512_loadu_si512(table);
    const __m512i t1 = _mm512_loadu_si512(table + 64);
    const __m512i t2 = _mm512_loadu_si512(table + 128);
    const __m512i t3 = _mm512_loadu_si512(table + 192);
    const __mmask64 alpha = 0x8888888888888888ull;
    int x = 0;
    for (; x + 16 <= count; x += 16) {
        uchar* block = pixels + 4 * x;
        const __m512i in = _mm512_loadu_si512(block);
        const __m512i low = _mm512_permutex2var_epi8(t0, in, t1);
        const __m512i high = _mm512_permutex2var_epi8(t2, in, t3);
        const __m512i mapped = _mm512_mask_blend_epi8(_mm512_movepi8_mask(in), low, high);
        _mm512_storeu_si512(block, _mm512_mask_blend_epi8(alpha, mapped, in));
    }
    return x;
}
#endif

// The matrix on one row of pixels, written as bytes; vectorises across pixels.
// With kAlphaApart the colours ignore alpha and alpha ignores the colours (as
// in every matrix the effects build), so those products are left out.
template <bool kAlphaApart>
[[gnu::always_inline]] inline void
MatrixRow(const uint32_t* __restrict in, uint32_t* __restrict out, int width, const Coefficients& q)
{
    constexpr int32_t kZero = 0;
    const int32_t b0 = q[0][0], b1 = q[0][1], b2 = q[0][2];
    const int32_t g0 = q[1][0], g1 = q[1][1], g2 = q[1][2];
    const int32_t r0 = q[2][0], r1 = q[2][1], r2 = q[2][2];
    const int32_t b3 = kAlphaApart ? kZero : q[0][3], g3 = kAlphaApart ? kZero : q[1][3];
    const int32_t r3 = kAlphaApart ? kZero : q[2][3], a3 = q[3][3];
    const int32_t a0 = kAlphaApart ? kZero : q[3][0], a1 = kAlphaApart ? kZero : q[3][1];
    const int32_t a2 = kAlphaApart ? kZero : q[3][2];
    const int32_t t0 = q[4][0], t1 = q[4][1], t2 = q[4][2], t3 = q[4][3];
    constexpr int kShift = CImageAttributes::kFractionBits;
    const auto channel = [](int32_t sum) { return uint32_t(std::clamp(sum >> kShift, 0, 255)); };
    // Whole 32-bit pixels in, whole pixels out: the channels are taken apart
    // with shifts and masks, which vectorise without shuffles.
    for (int x = 0; x < width; ++x) {
        const uint32_t pixel = in[x];
        const int32_t b = int32_t(pixel & 0xFF), g = int32_t((pixel >> 8) & 0xFF);
        const int32_t r = int32_t((pixel >> 16) & 0xFF), a = int32_t(pixel >> 24);
        out[x] = channel(b * b0 + g * g0 + r * r0 + a * a0 + t0) |
                 channel(b * b1 + g * g1 + r * r1 + a * a1 + t1) << 8 |
                 channel(b * b2 + g * g2 + r * r2 + a * a2 + t2) << 16 |
                 channel(b * b3 + g * g3 + r * r3 + a * a3 + t3) << 24;
    }
}

PIXVEL_VECTOR_CLONES
void MatrixRows(const uint32_t* source, uint32_t* target, int width, const Coefficients& q,
                bool alphaApart)
{
    if (alphaApart) {
        MatrixRow<true>(source, target, width, q);
    } else {
        MatrixRow<false>(source, target, width, q);
    }
}

// The gamma table on the colour bytes of `count` pixels; alpha stays.
void GammaPixels(uchar* pixels, int count, const GammaTable& table)
{
    int x = 0;
#ifdef PIXVEL_HAVE_BYTE_PERMUTE
    // Every instruction set the permute loop is compiled for must be there.
    static const bool kBytePermute = __builtin_cpu_supports("avx512f") &&
                                     __builtin_cpu_supports("avx512bw") &&
                                     __builtin_cpu_supports("avx512vbmi");
    if (kBytePermute) {
        x = GammaPixelsPermute(pixels, count, table.data());
    }
#endif
    for (; x < count; ++x) {
        uchar* pixel = pixels + 4 * x;
        pixel[0] = table[pixel[0]];
        pixel[1] = table[pixel[1]];
        pixel[2] = table[pixel[2]];
    }
}

} // namespace

CImageAttributes::CImageAttributes(const CColourMatrix& matrix, float gamma)
{
    bool identity = true;
    for (int from = 0; from < 5; ++from) {
        const int row = from < 4 ? kMatrixIndexOfByte[from] : 4;
        for (int to = 0; to < 4; ++to) {
            const double m = std::clamp(matrix.At(row, kMatrixIndexOfByte[to]), -kMaxCoefficient,
                                        kMaxCoefficient);
            q_[from][to] = from < 4 ? Fixed(m) : Fixed(m * 255.0) + kOne / 2;
            const int32_t unchanged = from == to ? kOne : from == 4 ? kOne / 2 : 0;
            identity = identity && q_[from][to] == unchanged;
        }
    }
    gammaActive_ = gamma != 1.0f;
    for (int c = 0; c < 256; ++c) {
        const double value =
            gammaActive_ ? std::floor(255.0 * std::pow(c / 255.0, double(gamma))) : c;
        gamma_[c] = uint8_t(std::isnan(value) ? 255.0 : std::clamp(value, 0.0, 255.0));
    }
    identity_ = identity && !gammaActive_;
}

bool CImageAttributes::KeepsOpaque() const
{
    // With alpha 255 in, alpha comes out 255 for every colour when alpha
    // depends on nothing but itself and maps 255 to 255.
    return q_[0][3] == 0 && q_[1][3] == 0 && q_[2][3] == 0 &&
           ((255 * q_[3][3] + q_[4][3]) >> kFractionBits) >= 255;
}

void CImageAttributes::ApplyRows(const QImage& source, uchar* target, qsizetype targetStride) const
{
    // Pixels pass through a small buffer, so that source and target may be
    // the same picture and the matrix loop still never reads what it wrote.
    constexpr int kChunk = 512;
    const int width = source.width();
    const bool alphaApart = q_[3][0] == 0 && q_[3][1] == 0 && q_[3][2] == 0 && q_[0][3] == 0 &&
                            q_[1][3] == 0 && q_[2][3] == 0;
    CParallelRows::Run(source.height(), width, [&](int firstRow, int endRow) {
        alignas(64) uint32_t chunk[kChunk];
        for (int y = firstRow; y < endRow; ++y) {
            const uchar* in = source.constScanLine(y);
            uchar* out = target + y * targetStride;
            for (int x = 0; x < width; x += kChunk) {
                const int count = std::min(kChunk, width - x);
                std::memcpy(chunk, in + 4 * x, size_t(4 * count));
                MatrixRows(chunk, reinterpret_cast<uint32_t*>(out) + x, count, q_, alphaApart);
                if (gammaActive_) {
                    GammaPixels(out + 4 * x, count, gamma_);
                }
            }
        }
    });
}

QImage CImageAttributes::Apply(QImage source, QImage reuse) const
{
    QImage surface = InLayout(std::move(source), QImage::Format_RGB32, QImage::Format_ARGB32);
    if (surface.isNull()) {
        return QImage();
    }
    const bool opaque = surface.format() == QImage::Format_RGB32 && KeepsOpaque();
    const QImage::Format format = opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32;
    if (surface.isDetached()) {
        uchar* const bits = surface.bits();
        ApplyRows(surface, bits, surface.bytesPerLine());
        surface.reinterpretAsFormat(format);
        return surface;
    }
    const bool reusable =
        reuse.isDetached() && reuse.size() == surface.size() && reuse.format() == format;
    QImage result = reusable ? std::move(reuse) : QImage(surface.size(), format);
    if (result.isNull()) {
        return QImage();
    }
    ApplyRows(surface, result.bits(), result.bytesPerLine());
    return result;
}
