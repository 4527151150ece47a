#pragma once

#include <QImage>

#include <optional>
#include <vector>

// The integer Gaussian kernel of the filters: odd size, integer weights, the
// outermost weight 1.
struct GaussianKernel
{
    std::vector<int> weights; // size() taps, centre at index radius
    int radius = 0;           // taps on each side of the centre
    int sum = 0;              // sum of all weights
};

// Gaussian blur and unsharp mask on 32-bit pictures, with integer weights
// and truncating integer division.
//
// The filters read a picture as premultiplied 4-byte pixels and filter all
// four channels alike, so transparent areas stay transparent and their
// colour never bleeds into the opaque parts; an opaque picture has alpha 255
// everywhere and gives exactly what filtering the colour channels alone would.
// The result is Format_RGB32 for a picture without alpha, else
// Format_ARGB32_Premultiplied. A null result means the kernel would be too
// large (or memory ran out); the caller then goes on without the filter.
class CFilterEngine
{
public:
    static constexpr int kMaxKernelSize = 51;

    // No kernel when floor(radius × 5 + 1.5) exceeds kMaxKernelSize.
    static std::optional<GaussianKernel> MakeKernel(float radius);

    // A source that no other QImage shares is blurred in place.
    static QImage GaussianBlur(QImage source, float radius);
    // out = clamp(source × (amount + 1) − blurred × amount, 0, 255), truncated,
    // on the colour channels; alpha is kept.
    static QImage UnsharpMask(const QImage& source, float radius, float amount);
};
