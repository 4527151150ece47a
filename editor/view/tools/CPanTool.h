#pragma once

#include "CViewTool.h"

// Panning: a drag scrolls the view with the pointer; a double click fits the
// picture to the window; a right click leaves panning.
class CPanTool : public CViewTool
{
public:
    explicit CPanTool(CToolHost& host) : host_(host) {}

    void Press(const ToolInput& input) override;
    void Move(const ToolInput& input) override;
    void Release(const ToolInput& input) override;
    void DoubleClick(const ToolInput& input) override;
    QCursor Cursor(const ToolInput& input, bool spaceHeld) const override;
    void Reset() override { dragging_ = false; }

    bool Dragging() const { return dragging_; }

private:
    CToolHost& host_;
    bool dragging_ = false;
    QPoint last_; // in the window, which stays put while the view scrolls
};
