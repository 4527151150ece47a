#include "CColourMatrix.h"

#include "ItemEffects.h"

#include <cmath>

namespace {

const double kPi = 4.0 * std::atan2(1.0, 1.0);

// Shear of the blue column by the red and green inputs.
CColourMatrix Shear(float x, float y)
{
    CColourMatrix::Rows rows = CColourMatrix().Values();
    rows[0][2] = x;
    rows[1][2] = y;
    return CColourMatrix(rows);
}

// The matrices around the hue rotation: they turn the grey axis onto the blue
// axis and shear the luminance plane flat, so that a rotation about blue keeps
// luminance. Built once per process.
struct HueFrame
{
    CColourMatrix pre;
    CColourMatrix post;

    HueFrame()
    {
        pre = CColourMatrix::Multiply(CColourMatrix::Rotation(2, 1, 45.0), CColourMatrix());
        pre.Append(CColourMatrix::Rotation(0, 2, -35.0));
        const float lum[4] = {CColourMatrix::kLumRed, CColourMatrix::kLumGreen,
                              CColourMatrix::kLumBlue, 1.0f};
        float t[3] = {};
        for (int column = 0; column < 3; ++column) {
            for (int row = 0; row < 3; ++row) {
                t[column] += lum[row] * pre.At(row, column);
            }
            t[column] += lum[3] * pre.At(4, column);
        }
        const float sx = t[0] / t[2];
        const float sy = t[1] / t[2];
        pre.Append(Shear(sx, sy));
        post = CColourMatrix::Multiply(Shear(-sx, -sy), CColourMatrix());
        post.Append(CColourMatrix::Rotation(0, 2, 35.0));
        post.Append(CColourMatrix::Rotation(2, 1, -45.0));
    }
};

const HueFrame& TheHueFrame()
{
    static const HueFrame frame;
    return frame;
}

} // namespace

CColourMatrix::CColourMatrix() : m_{}
{
    for (int i = 0; i < 5; ++i) {
        m_[i][i] = 1.0f;
    }
}

CColourMatrix CColourMatrix::Scale(float x, float y, float z, float w)
{
    CColourMatrix result;
    result.m_[0][0] = x;
    result.m_[1][1] = y;
    result.m_[2][2] = z;
    result.m_[3][3] = w;
    return result;
}

CColourMatrix CColourMatrix::Translate(float x, float y, float z, float w)
{
    CColourMatrix result;
    result.m_[4] = {x, y, z, w, 1.0f};
    return result;
}

CColourMatrix CColourMatrix::Saturation(float s)
{
    const float lum[3] = {kLumRed, kLumGreen, kLumBlue};
    CColourMatrix result;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            result.m_[row][column] = lum[row] * (1.0f - s) + (row == column ? s : 0.0f);
        }
    }
    return result;
}

CColourMatrix CColourMatrix::Rotation(int b, int c, double degrees)
{
    const double radians = degrees * kPi / 180.0;
    const float cosine = float(std::cos(radians));
    const float sine = float(std::sin(radians));
    CColourMatrix result;
    result.m_[c][c] = cosine;
    result.m_[b][b] = cosine;
    result.m_[c][b] = sine;
    result.m_[b][c] = -sine;
    return result;
}

CColourMatrix CColourMatrix::Multiply(const CColourMatrix& a, const CColourMatrix& b)
{
    CColourMatrix result;
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 4; ++column) {
            float sum = 0.0f;
            for (int k = 0; k < 5; ++k) {
                sum += a.m_[row][k] * b.m_[k][column];
            }
            result.m_[row][column] = sum;
        }
        result.m_[row][4] = row == 4 ? 1.0f : 0.0f;
    }
    return result;
}

void CColourMatrix::AppendHue(double degrees)
{
    const HueFrame& frame = TheHueFrame();
    Append(frame.pre);
    Append(Rotation(0, 1, degrees));
    Append(frame.post);
}

CColourMatrix CColourMatrix::FromEffects(const ItemEffects& effects)
{
    CColourMatrix m;
    if (effects.invert) {
        m.Append(Scale(-1.0f, -1.0f, -1.0f, 1.0f));
        m.Append(Translate(1.0f, 1.0f, 1.0f, 0.0f));
    }
    const float c = effects.contrast;
    m.Prepend(Scale(c, c, c, float(effects.opacity) * 0.01f));
    const float k = float(effects.brightness) * 0.01f;
    m.Append(Translate(k, k, k, 0.0f));
    m.Append(Saturation(effects.greyscale ? 0.0f : float(effects.saturation) * 0.01f));
    m.AppendHue(effects.hue);
    return m;
}
