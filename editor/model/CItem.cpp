#include "CItem.h"

#include <QPolygonF>
#include <QTransform>

#include <cmath>
#include <numbers>

QPainterPath RectangleOutline(const QRectF& rect)
{
    QPainterPath path;
    path.moveTo(rect.topLeft());
    path.lineTo(rect.topRight());
    path.lineTo(rect.bottomRight());
    path.lineTo(rect.bottomLeft());
    path.closeSubpath();
    return path;
}

std::optional<QTransform> AffineThrough(const std::array<QPointF, 3>& from,
                                        const std::array<QPointF, 3>& to)
{
    const auto parallelogram = [](const std::array<QPointF, 3>& p) {
        return QPolygonF{p[0], p[1], p[1] + p[2] - p[0], p[2]};
    };
    QTransform transform;
    if (!QTransform::quadToQuad(parallelogram(from), parallelogram(to), transform)) {
        return std::nullopt;
    }
    return transform;
}

Status CItem::Fail(Status status)
{
    if (Failed(status)) {
        status_ = status;
    }
    return status;
}

void CItem::SetRect(const QRectF& rect)
{
    rect_ = rect;
    outline_ = RectangleOutline(rect);
}

void CItem::RotateAboutCentre(double degrees)
{
    const QPointF centre = outline_.boundingRect().center();
    Transform(QTransform::fromTranslate(-centre.x(), -centre.y()) * QTransform().rotate(degrees) *
              QTransform::fromTranslate(centre.x(), centre.y()));
}

void CItem::RotateAboutPoint(double degrees, double x, double y)
{
    const int quadrant = int(std::fmod(degrees, 360.0) / 90.0);
    const bool exchange = quadrant == 1 || quadrant == 3 || quadrant == -1 || quadrant == -3;
    Transform(QTransform::fromTranslate(-x, -y) * QTransform().rotate(degrees) *
              (exchange ? QTransform::fromTranslate(y, x) : QTransform::fromTranslate(x, y)));
}

void CItem::StretchOver(const QRectF& area)
{
    if (outline_.elementCount() < 4) {
        return;
    }
    // The outline runs from the bitmap's upper-left corner across its top
    // edge (`across`) and down its left edge (`down`).
    const QPointF origin = outline_.elementAt(0);
    const QPointF across = QPointF(outline_.elementAt(1)) - origin;
    const QPointF down = QPointF(outline_.elementAt(3)) - origin;
    const int quarter =
        int(std::lround(std::atan2(across.y(), across.x()) / (std::numbers::pi / 2))) & 3;
    const bool mirrored = across.x() * down.y() - across.y() * down.x() < 0;
    // Clockwise from the upper-left; a quarter turn starts one corner on, a
    // mirrored outline runs the other way round.
    const QPointF corners[] = {area.topLeft(), area.topRight(), area.bottomRight(),
                               area.bottomLeft()};
    QPainterPath stretched;
    for (int i = 0; i < 4; ++i) {
        const QPointF corner = corners[(mirrored ? quarter + 3 - i : quarter + i) & 3];
        if (i == 0) {
            stretched.moveTo(corner);
        } else {
            stretched.lineTo(corner);
        }
    }
    stretched.closeSubpath();
    outline_ = stretched;
}

void CItem::FlipAboutCentre(bool horizontal)
{
    const QRectF bounds = outline_.boundingRect();
    FlipAboutAxis(horizontal, bounds.center().x(), bounds.center().y());
}

void CItem::FlipAboutAxis(bool horizontal, double axisX, double axisY)
{
    Transform(horizontal ? QTransform(-1, 0, 0, 1, 2 * axisX, 0)
                         : QTransform(1, 0, 0, -1, 0, 2 * axisY));
}
