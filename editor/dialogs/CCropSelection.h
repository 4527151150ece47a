#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QSize>
#include <QTransform>

#include <optional>

// The region the picture is about to be cut to while the view is in crop
// mode: a rectangle of a preset size placed by a press, or a free rubber band.
// The outline is kept in zoomed picture coordinates (picture pixels × zoom,
// relative to the origin) at the stored zoom; the view sees it moved by the
// origin, the crop takes it in picture pixels.
class CCropSelection
{
public:
    enum Kind : int
    {
        kFixed = 0,
        kFree = 1
    };

    void SetKind(int kind) { kind_ = kind; }
    int Kind() const { return kind_; }
    void SetFixedSize(int width, int height) { fixedSize_ = QSize(width, height); }
    QSize FixedSize() const { return fixedSize_; }
    void SetOrigin(int x, int y) { origin_ = QPoint(x, y); }
    QPoint Origin() const { return origin_; }
    float Zoom() const { return zoom_; }
    bool HasOutline() const { return outline_.has_value(); }

    // Rescales the outline from the stored zoom to z, and stores z.
    void SetZoom(float zoom);
    void SetOutline(const QPainterPath& outline) { outline_ = outline; }
    // Replaces the outline by an integer rectangle; `relative` moves it by
    // −origin, for a rectangle given in view coordinates.
    void SetRectangle(int x, int y, int width, int height, bool relative);
    // Scales a fresh picture-pixel rectangle by the zoom and centres it on the
    // view point (x, y).
    void Place(double x, double y);
    // The outline in view coordinates, placed at (x, y) first when asked.
    std::optional<QPainterPath> ViewOutline(double x, double y, bool place);
    // The outline in picture pixels.
    std::optional<QPainterPath> PictureOutline() const;
    // Applies a view-coordinate transform (a tracker drag, a nudge).
    void Transform(const QTransform* matrix);
    // Turns the outline with the picture: turn 1, 2, 3 = 90, 180, 270 degrees.
    void Rotate(int turn, double a, double b);
    // Whether the view point lies inside the view outline.
    bool HitTest(int x, int y) const;
    void Clear() { outline_.reset(); }

private:
    int kind_ = kFree;
    QPoint origin_;
    std::optional<QPainterPath> outline_;
    QSize fixedSize_{0, 0};
    float zoom_ = 1.0f;
};
