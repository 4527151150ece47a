#include "CPanTool.h"

void CPanTool::Press(const ToolInput& input)
{
    if (input.button == Qt::RightButton) {
        host_.ToggleMove();
        return;
    }
    dragging_ = true;
    last_ = input.client.toPoint();
}

void CPanTool::Move(const ToolInput& input)
{
    if (!dragging_) {
        return;
    }
    const QPoint now = input.client.toPoint();
    host_.ScrollBy(last_ - now);
    last_ = now;
}

void CPanTool::Release(const ToolInput&)
{
    dragging_ = false;
}

void CPanTool::DoubleClick(const ToolInput&)
{
    host_.FitToWindow();
}

QCursor CPanTool::Cursor(const ToolInput&, bool) const
{
    return dragging_ ? Qt::ClosedHandCursor : Qt::OpenHandCursor;
}
