#pragma once

#include "CViewTool.h"

// Editing items: a press selects (the base picture wherever no item is hit)
// and drags the selected item's tracker; one press on another item selects
// and drags it. Delete, copy and paste keys, the item menu on a right click,
// the guideline crosshair and the arrow-key nudge of the selected item.
class CEditTool : public CViewTool
{
public:
    explicit CEditTool(CToolHost& host) : host_(host) {}

    void Press(const ToolInput& input) override;
    void Move(const ToolInput& input) override;
    void DoubleClick(const ToolInput& input) override;
    bool Key(int key, Qt::KeyboardModifiers keys) override;
    void Nudge(QPoint step) override;
    void ApplyTransform(const QTransform& matrix) override;
    QCursor Cursor(const ToolInput& input, bool spaceHeld) const override;

private:
    // The hit item, or the base picture for empty picture and the margin.
    int HitOrBase(const QPointF& point) const;

    CToolHost& host_;
};
