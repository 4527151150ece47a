#include "CTextTool.h"

void CTextTool::Press(const ToolInput& input)
{
    if (input.button == Qt::LeftButton) {
        host_.PlaceText(input.point);
    }
}

bool CTextTool::Key(int key, Qt::KeyboardModifiers)
{
    if (key != Qt::Key_Escape) {
        return false;
    }
    host_.ToggleTextPlacement();
    return true;
}

QCursor CTextTool::Cursor(const ToolInput&, bool) const
{
    return Qt::IBeamCursor;
}
