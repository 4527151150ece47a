#pragma once

#include <array>

struct ItemEffects;

// A 5×5 colour matrix in row-vector convention: a pixel is the row
// (r, g, b, a, 1) with components in 0..1 and the result is the row times the
// matrix. Appending P gives M × P (P acts after M); prepending gives P × M.
class CColourMatrix
{
public:
    using Rows = std::array<std::array<float, 5>, 5>;

    // Luminance weights used by saturation and hue rotation.
    static constexpr float kLumRed = 0.3086f;
    static constexpr float kLumGreen = 0.6094f;
    static constexpr float kLumBlue = 0.0820f;

    CColourMatrix(); // identity
    explicit CColourMatrix(const Rows& rows) : m_(rows) {}

    static CColourMatrix Scale(float x, float y, float z, float w);
    static CColourMatrix Translate(float x, float y, float z, float w);
    static CColourMatrix Saturation(float s);
    // Rotation in the plane of channels b and c (0 red, 1 green, 2 blue).
    static CColourMatrix Rotation(int b, int c, double degrees);
    // Only columns 0..3 are computed; column 4 stays 0 with [4][4] = 1.
    static CColourMatrix Multiply(const CColourMatrix& a, const CColourMatrix& b);

    void Append(const CColourMatrix& p) { *this = Multiply(*this, p); }
    void Prepend(const CColourMatrix& p) { *this = Multiply(p, *this); }
    // Rotates the hue about the grey axis, keeping luminance.
    void AppendHue(double degrees);

    // The matrix of an item's effects, built afresh from the stored values.
    static CColourMatrix FromEffects(const ItemEffects& effects);

    float At(int row, int column) const { return m_[row][column]; }
    const Rows& Values() const { return m_; }

private:
    Rows m_;
};
