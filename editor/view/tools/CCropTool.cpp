#include "CCropTool.h"

#include "CCropSelection.h"
#include "CTrackerCursors.h"
#include "CTransformTracker.h"

#include <QPainter>

void CCropTool::FollowView()
{
    CCropSelection& crop = host_.CropRegion();
    crop.SetZoom(float(host_.Zoom()));
    crop.SetOrigin(host_.PictureRect().left(), host_.PictureRect().top());
}

void CCropTool::Press(const ToolInput& input)
{
    if (input.button == Qt::RightButton) {
        host_.CropMenu(input.point);
        return;
    }
    CTransformTracker& tracker = host_.ViewTracker();
    if (tracker.IsActive() && tracker.Press(input.point, input.keys) == CTracker::kTracking) {
        return;
    }
    CCropSelection& crop = host_.CropRegion();
    FollowView();
    if (crop.Kind() == CCropSelection::kFixed) {
        QPainterPath rectangle;
        rectangle.addRect(QRectF(QPointF(0, 0), QSizeF(crop.FixedSize())));
        crop.SetOutline(rectangle);
        tracker.Select(*crop.ViewOutline(input.point.x(), input.point.y(), true));
        tracker.Press(input.point, input.keys);
    } else {
        crop.Clear();
        tracker.Deselect();
        band_ = QRectF(input.point, input.point);
    }
}

void CCropTool::Move(const ToolInput& input)
{
    if (band_) {
        band_->setBottomRight(input.point);
    }
}

void CCropTool::Release(const ToolInput& input)
{
    if (!band_) {
        return;
    }
    band_->setBottomRight(input.point);
    const QRect band = band_->normalized().toRect();
    band_.reset();
    // Even a band of no width or height is a selection: Crop then cuts
    // nothing.
    FollowView();
    host_.CropRegion().SetRectangle(band.x(), band.y(), band.width(), band.height(), true);
    host_.RefreshTracker();
}

void CCropTool::DoubleClick(const ToolInput& input)
{
    if (host_.CropRegion().HitTest(int(input.point.x()), int(input.point.y()))) {
        host_.Crop();
    }
}

bool CCropTool::Key(int key, Qt::KeyboardModifiers)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        host_.Crop();
    } else if (key == Qt::Key_Escape) {
        host_.LeaveCrop();
    } else {
        return false;
    }
    return true;
}

void CCropTool::Nudge(QPoint step)
{
    CCropSelection& crop = host_.CropRegion();
    if (crop.HasOutline()) {
        const QTransform move = QTransform::fromTranslate(step.x(), step.y());
        crop.Transform(&move);
        host_.RefreshTracker();
    }
}

void CCropTool::ApplyTransform(const QTransform& matrix)
{
    host_.CropRegion().Transform(&matrix);
    host_.RefreshTracker();
}

QCursor CCropTool::Cursor(const ToolInput& input, bool spaceHeld) const
{
    return CTrackerCursors::Over(host_.ViewTracker(), input.point, input.keys, spaceHeld,
                                 Qt::CrossCursor);
}

void CCropTool::Paint(QPainter& painter) const
{
    const CCropSelection& crop = host_.CropRegion();
    if (const std::optional<QPainterPath> outline = crop.PictureOutline()) {
        // Everything outside the selection is tinted.
        const QPainterPath inView =
            (QTransform::fromScale(crop.Zoom(), crop.Zoom()) *
             QTransform::fromTranslate(crop.Origin().x(), crop.Origin().y()))
                .map(*outline);
        QPainterPath outside;
        outside.addRect(host_.PictureRect());
        painter.fillPath(outside.subtracted(inView), QColor(255, 0, 0, 0x50));
    }
    if (band_) {
        QPainterPath band;
        band.addRect(band_->normalized());
        CTransformTracker::DrawTwoTone(painter, band, true);
    }
}
