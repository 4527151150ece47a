#pragma once

#include <QImage>
#include <QPointF>

#include <array>

class QPainter;
struct ItemEffects;

// Draws a picture item's bitmap through its effects: a copy is sharpened,
// then blurred, then drawn through the colour matrix and gamma built afresh
// from the stored effects. The item's own bitmap never changes.
class CEffectPainter
{
public:
    // Upper-left, upper-right and lower-left corner of the place drawn into.
    using Corners = std::array<QPointF, 3>;

    // The bitmap with its effects applied. When a filter's kernel would be too
    // large the picture goes on unfiltered (matrix and gamma still apply).
    // With every effect at its creation value the bitmap itself is returned.
    // A bitmap that no other QImage shares is worked on in place (a caller
    // hands one over with std::move); null only when memory ran out.
    static QImage Apply(QImage bitmap, const ItemEffects& effects);
    // The two stages of Apply: the filters (sharpen, then blur), which
    // depend only on the filter numbers, and the colour matrix and gamma.
    // `reuse` is an earlier result whose pixels may be overwritten (see
    // CImageAttributes::Apply). `radiusScale` scales the blur and sharpen
    // radii for a picture drawn at another size than the bitmap's (a
    // preview); which filters run is decided on the radii themselves.
    static QImage Filter(QImage bitmap, const ItemEffects& effects, float radiusScale = 1.0f);
    static QImage Colour(QImage filtered, const ItemEffects& effects, QImage reuse = QImage());
    // Whether two sets of effects filter alike.
    static bool SameFilters(const ItemEffects& a, const ItemEffects& b);

    // Draws the bitmap with its effects into the parallelogram given by three
    // corners, with smooth (high-quality) resampling.
    static void Draw(QPainter& painter, const QImage& bitmap, const ItemEffects& effects,
                     const Corners& corners);
    // Draws a picture whose effects are already applied.
    static void DrawPlaced(QPainter& painter, const QImage& picture, const Corners& corners);
};
