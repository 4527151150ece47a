#pragma once

#include <QImage>

#include <array>
#include <cstdint>

class CColourMatrix;

// A colour matrix and a gamma value applied to every pixel of a picture, as
// the drawing attributes of a picture item.
//
// The matrix is applied in 16.16 fixed point: each coefficient becomes
// round(m × 65536) and each translation round(t × 255 × 65536), so a channel is
// clamp(floor((Σ in × q + t + 32768) / 65536), 0, 255) on the straight
// (not premultiplied) 8-bit values. Then, when the gamma is not 1, each colour
// channel c becomes floor(255 × (c / 255)^gamma), through a 256-entry table;
// alpha is not touched by gamma.
class CImageAttributes
{
public:
    static constexpr int kFractionBits = 16;
    // Coefficients are limited to this magnitude so that no sum overflows.
    static constexpr float kMaxCoefficient = 24.0f;

    CImageAttributes(const CColourMatrix& matrix, float gamma);

    // True when Apply would return every pixel unchanged.
    bool IsIdentity() const { return identity_; }

    // The picture with every pixel passed through the matrix and the gamma:
    // Format_RGB32 when the source has no alpha and the matrix keeps alpha
    // at 255, else Format_ARGB32. Null when memory ran out. A source that is
    // not shared with any other QImage is changed in place; otherwise the
    // result goes into `reuse` when nobody else holds that picture and it
    // has the result's size and format (an earlier result), so that no new
    // picture is allocated.
    QImage Apply(QImage source, QImage reuse = QImage()) const;

    // The fixed-point coefficient of input channel `from` for output channel
    // `to`, both by byte order in memory (0 blue, 1 green, 2 red, 3 alpha);
    // `from` 4 is the translation with the rounding half added.
    int32_t Coefficient(int from, int to) const { return q_[from][to]; }
    const std::array<uint8_t, 256>& GammaTable() const { return gamma_; }
    bool GammaActive() const { return gammaActive_; }

private:
    bool KeepsOpaque() const;
    void ApplyRows(const QImage& source, uchar* target, qsizetype targetStride) const;

    std::array<std::array<int32_t, 4>, 5> q_{};
    std::array<uint8_t, 256> gamma_{};
    bool gammaActive_ = false;
    bool identity_ = false;
};
