#include "CCropSelection.h"

void CCropSelection::SetZoom(float zoom)
{
    if (outline_) {
        const QTransform unzoom = QTransform::fromScale(1.0 / zoom_, 1.0 / zoom_);
        *outline_ = (unzoom * QTransform::fromScale(zoom, zoom)).map(*outline_);
    }
    zoom_ = zoom;
}

void CCropSelection::SetRectangle(int x, int y, int width, int height, bool relative)
{
    QPainterPath rectangle;
    rectangle.addRect(x, y, width, height);
    if (relative) {
        rectangle.translate(-origin_.x(), -origin_.y());
    }
    outline_ = rectangle;
}

void CCropSelection::Place(double x, double y)
{
    if (!outline_) {
        return;
    }
    *outline_ = QTransform::fromScale(zoom_, zoom_).map(*outline_);
    const QRectF bounds = outline_->boundingRect();
    outline_->translate(x - origin_.x() - bounds.width() / 2,
                        y - origin_.y() - bounds.height() / 2);
}

std::optional<QPainterPath> CCropSelection::ViewOutline(double x, double y, bool place)
{
    if (!outline_) {
        return std::nullopt;
    }
    if (place) {
        Place(x, y);
    }
    return outline_->translated(origin_);
}

std::optional<QPainterPath> CCropSelection::PictureOutline() const
{
    if (!outline_) {
        return std::nullopt;
    }
    return QTransform::fromScale(1.0 / zoom_, 1.0 / zoom_).map(*outline_);
}

void CCropSelection::Transform(const QTransform* matrix)
{
    if (!outline_) {
        return;
    }
    QTransform transform = QTransform::fromTranslate(origin_.x(), origin_.y());
    if (matrix != nullptr) {
        transform *= *matrix;
    }
    transform *= QTransform::fromTranslate(-origin_.x(), -origin_.y());
    *outline_ = transform.map(*outline_);
}

void CCropSelection::Rotate(int turn, double a, double b)
{
    if (!outline_) {
        return;
    }
    const double angle = (turn >= 1 && turn <= 3) ? 90.0 * turn : 0.0;
    const int quarter = (int(angle) % 360) / 90;
    const QPointF p(a / zoom_, b / zoom_);
    const QPointF q = (quarter == 1 || quarter == 3) ? QPointF(p.y(), p.x()) : p;
    const QTransform turnAbout = QTransform::fromTranslate(-p.x(), -p.y()) *
                                 QTransform().rotate(angle) *
                                 QTransform::fromTranslate(q.x(), q.y());
    *outline_ = turnAbout.map(*outline_);
}

bool CCropSelection::HitTest(int x, int y) const
{
    return outline_ && outline_->translated(origin_).contains(QPointF(x, y));
}
