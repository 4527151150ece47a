#pragma once

#include "ItemEffects.h"
#include "Status.h"

#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <QTransform>

#include <array>
#include <memory>
#include <optional>

class QPainter;

// One object on the picture: a picture item or a text item. Its geometry is
// an outline of four corners in picture pixels; moving, rotating and flipping
// transform the outline, never the pixels. Each item carries its own effects,
// applied when it is drawn.
class CItem
{
public:
    enum Kind : int
    {
        Picture = 0,
        Text = 1
    };

    CItem() = default;
    virtual ~CItem() = default;

    // A deep copy of the same kind.
    virtual std::unique_ptr<CItem> Duplicate() const = 0;
    // Rotates the outline about the centre of its bounds (degrees, clockwise).
    void RotateAboutCentre(double degrees);
    // Rotates the outline about a point; for quarter turns of 90 and 270
    // degrees the point moves to (y, x), as when the whole picture turns and
    // its width and height swap.
    void RotateAboutPoint(double degrees, double x, double y);
    // Mirrors the outline within its own bounds.
    void FlipAboutCentre(bool horizontal);
    // Mirrors the outline about the vertical line x = axisX (horizontal) or the
    // horizontal line y = axisY.
    void FlipAboutAxis(bool horizontal, double axisX, double axisY);
    // Stretches the outline over a rectangle, its corners onto the
    // rectangle's corners, keeping the item's quarter turn and mirroring; an
    // item at a slant comes out at its nearest quarter turn.
    void StretchOver(const QRectF& area);
    // The bitmap's size; a text item has none.
    virtual QSizeF Size() const { return QSizeF(0, 0); }
    virtual void ReleaseBitmap() {}
    // Draws the item with its effects, in picture coordinates.
    virtual void Draw(QPainter& painter) const = 0;
    // What Draw may cover, in picture pixels: the outline's bounds, and for
    // a decorated text its decoration too.
    virtual QRectF DrawnBounds() const { return outline_.boundingRect(); }
    // Whether the point (view pixels relative to the picture's top-left,
    // divided by the item's scale here) hits the item.
    virtual bool HitTest(double x, double y) const = 0;

    int GetKind() const { return kind_; }
    const QRectF& Rect() const { return rect_; }
    // Sets the placement and resets the outline to it.
    void SetRect(const QRectF& rect);
    const QPainterPath& Outline() const { return outline_; }
    void SetOutline(const QPainterPath& outline) { outline_ = outline; }
    void TranslateOutline(double dx, double dy) { outline_.translate(dx, dy); }
    float Scale() const { return scale_; }
    void SetScale(float scale) { scale_ = scale; }
    // The pixel format of bitmaps made for this item (the view's own format).
    QImage::Format OwnerFormat() const { return ownerFormat_; }
    void SetOwner(QImage::Format format) { ownerFormat_ = format; }
    const ItemEffects& Effects() const { return effects_; }
    ItemEffects& Effects() { return effects_; }
    void SetEffects(const ItemEffects& effects) { effects_ = effects; }
    const QString& Label() const { return label_; }
    void SetLabel(const QString& label) { label_ = label; }
    Status LastStatus() const { return status_; }

protected:
    explicit CItem(Kind kind) : kind_(kind) {}
    CItem(const CItem&) = default;
    CItem& operator=(const CItem&) = default;
    void Transform(const QTransform& transform) { outline_ = transform.map(outline_); }
    Status Fail(Status status);

private:
    QRectF rect_;
    int kind_ = Picture;
    ItemEffects effects_;
    QPainterPath outline_;
    Status status_ = Status::Ok;
    float scale_ = 1.0f;
    QString label_;
    QImage::Format ownerFormat_ = QImage::Format_ARGB32_Premultiplied;
};

// The outline of a rectangle: upper-left, upper-right, lower-right,
// lower-left, closed.
QPainterPath RectangleOutline(const QRectF& rect);

// The affine transform taking three points to three others, through the
// parallelograms they complete; none when either set lies on one line.
std::optional<QTransform> AffineThrough(const std::array<QPointF, 3>& from,
                                        const std::array<QPointF, 3>& to);
