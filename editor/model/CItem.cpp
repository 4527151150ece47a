#include "CItem.h"

#include <QPolygonF>
#include <QTransform>

#include <cmath>

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
