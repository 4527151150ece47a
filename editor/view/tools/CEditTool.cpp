#include "CEditTool.h"

#include "CLivePreview.h"
#include "CTrackerCursors.h"
#include "CTransformTracker.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

const QColor CEditTool::kGuideColour(100, 100, 255);

int CEditTool::HitOrBase(const QPointF& point) const
{
    return std::max(host_.HitTest(point), 0);
}

void CEditTool::Press(const ToolInput& input)
{
    if (input.button == Qt::RightButton) {
        if (host_.SelectedIndex() < 0) {
            host_.Select(HitOrBase(input.point));
        }
        host_.ShowItemMenu();
        return;
    }
    if (host_.SelectedIndex() < 1) {
        host_.Select(HitOrBase(input.point));
    }
    if (host_.SelectedIndex() < 1 || Drag(input)) {
        return;
    }
    // Not on the tracker: another item is selected and dragged in the same
    // press; empty picture or the base selects the base.
    const int hit = HitOrBase(input.point);
    if (hit == host_.SelectedIndex()) {
        return;
    }
    host_.Select(hit);
    if (hit >= 1) {
        Drag(input);
    }
}

bool CEditTool::Drag(const ToolInput& input)
{
    if (host_.ViewTracker().Press(input.point, input.keys) != CTracker::kTracking) {
        return false;
    }
    host_.Preview().Hold(host_.SelectedIndex());
    return true;
}

void CEditTool::Move(const ToolInput& input)
{
    if (guideline_) {
        const bool over = host_.PictureRect().contains(input.point.toPoint());
        guide_ = over ? std::optional(input.point) : std::nullopt;
    }
}

void CEditTool::ToggleGuideline()
{
    guideline_ = !guideline_;
    guide_.reset();
}

void CEditTool::DoubleClick(const ToolInput& input)
{
    // A double click on the selected text item edits it; anywhere else it is
    // a press as well: it selects and may drag.
    const int selected = host_.SelectedIndex();
    if (selected >= 1 && host_.HitTest(input.point) == selected && host_.EditText(selected)) {
        return;
    }
    Press(input);
}

bool CEditTool::Key(int key, Qt::KeyboardModifiers keys)
{
    const bool ctrl = keys & Qt::ControlModifier;
    if (key == Qt::Key_Delete || (ctrl && key == Qt::Key_D)) {
        host_.DeleteSelected();
    } else if (ctrl && key == Qt::Key_C) {
        host_.CopyItem();
    } else if (ctrl && key == Qt::Key_V) {
        host_.PasteAtCentre();
    } else {
        return false;
    }
    return true;
}

void CEditTool::Nudge(QPoint step)
{
    host_.NudgeSelected(step);
}

void CEditTool::ApplyTransform(const QTransform& matrix)
{
    host_.TransformSelected(matrix);
}

QCursor CEditTool::Cursor(const ToolInput& input, bool spaceHeld) const
{
    return CTrackerCursors::Over(host_.ViewTracker(), input.point, input.keys, spaceHeld,
                                 Qt::ArrowCursor);
}

bool CEditTool::PaintPicture(QPainter& painter, const QRect& area) const
{
    const CTransformTracker& tracker = host_.ViewTracker();
    if (!tracker.IsTracking() || host_.SelectedIndex() < 1 ||
        tracker.CurrentMode() == CTransformTracker::kMovePivot) {
        return false;
    }
    host_.Preview().PaintHeld(painter, area, tracker.Matrix());
    return true;
}

void CEditTool::Paint(QPainter& painter) const
{
    if (!guideline_ || !guide_) {
        return;
    }
    // Across the whole window, in view coordinates.
    const QRect visible =
        painter.worldTransform().inverted().mapRect(QRectF(painter.viewport())).toAlignedRect();
    const int x = int(std::floor(guide_->x()));
    const int y = int(std::floor(guide_->y()));
    painter.fillRect(QRect(visible.left(), y, visible.width(), 1), kGuideColour);
    painter.fillRect(QRect(x, visible.top(), 1, visible.height()), kGuideColour);
}
