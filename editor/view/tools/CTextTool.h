#pragma once

#include "CViewTool.h"

// Text placement: the next left press on the picture opens the text dialog
// for new text at that point (the view leaves text placement first, so one
// text is placed per press); Esc leaves text placement.
class CTextTool : public CViewTool
{
public:
    explicit CTextTool(CToolHost& host) : host_(host) {}

    void Press(const ToolInput& input) override;
    bool Key(int key, Qt::KeyboardModifiers keys) override;
    QCursor Cursor(const ToolInput& input, bool spaceHeld) const override;

private:
    CToolHost& host_;
};
