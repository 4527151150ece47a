#pragma once

#include "CViewTool.h"

#include <QColor>

#include <optional>

// Editing items: a press selects (the base picture wherever no item is hit)
// and drags the selected item's tracker; one press on another item selects
// and drags it. While the button is held the item itself is drawn at its new
// place on every frame. Delete, copy and paste keys, the item menu on a right
// click, the guideline crosshair and the arrow-key nudge of the selected item.
class CEditTool : public CViewTool
{
public:
    static const QColor kGuideColour;

    explicit CEditTool(CToolHost& host) : host_(host) {}

    void Press(const ToolInput& input) override;
    void Move(const ToolInput& input) override;
    void DoubleClick(const ToolInput& input) override;
    bool Key(int key, Qt::KeyboardModifiers keys) override;
    void Nudge(QPoint step) override;
    void ApplyTransform(const QTransform& matrix) override;
    QCursor Cursor(const ToolInput& input, bool spaceHeld) const override;
    bool PaintPicture(QPainter& painter, const QRect& area) const override;
    void Paint(QPainter& painter) const override;

    // The guideline crosshair through the pointer over the picture.
    void ToggleGuideline();
    bool GuidelineOn() const { return guideline_; }
    // The pointer left the view.
    void HideGuide() { guide_.reset(); }

private:
    // The hit item, or the base picture for empty picture and the margin.
    int HitOrBase(const QPointF& point) const;
    // Starts a drag of the selected item's tracker; false when the press is
    // not on it.
    bool Drag(const ToolInput& input);

    CToolHost& host_;
    bool guideline_ = false;
    std::optional<QPointF> guide_;
};
