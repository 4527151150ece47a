#pragma once

#include "CViewTool.h"

#include <QRectF>

#include <optional>

// Crop mode: a preset size is placed at the press and dragged at once; the
// free crop draws a rubber band (of any size, zero included). The tracker
// moves and resizes the selection; everything outside it is tinted. Enter
// crops, Esc leaves crop mode, a double click inside crops, a right click
// shows the crop menu.
class CCropTool : public CViewTool
{
public:
    explicit CCropTool(CToolHost& host) : host_(host) {}

    void Press(const ToolInput& input) override;
    void Move(const ToolInput& input) override;
    void Release(const ToolInput& input) override;
    void DoubleClick(const ToolInput& input) override;
    bool Key(int key, Qt::KeyboardModifiers keys) override;
    void Nudge(QPoint step) override;
    void ApplyTransform(const QTransform& matrix) override;
    QCursor Cursor(const ToolInput& input, bool spaceHeld) const override;
    void Paint(QPainter& painter) const override;
    void Reset() override { band_.reset(); }

private:
    // Makes the selection's origin and zoom those of the view.
    void FollowView();

    CToolHost& host_;
    std::optional<QRectF> band_; // the free crop's rubber band while drawn
};
