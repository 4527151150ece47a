#include "CTrackerCursors.h"

#include "CTransformTracker.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

QCursor CTrackerCursors::Cursor(int index)
{
    switch (index) {
    case 0:
        return Qt::SizeFDiagCursor;
    case 1:
        return Qt::SizeBDiagCursor;
    case 2:
        return Qt::SizeVerCursor;
    case 3:
        return Qt::SizeHorCursor;
    case 5:
    case 6:
        return Qt::SizeAllCursor;
    case 4:
    case 7:
    case 8:
    case 9:
        return TurnCursor();
    default:
        return Qt::ArrowCursor;
    }
}

QCursor CTrackerCursors::TurnCursor()
{
    static const QCursor cursor = [] {
        // Drawn at twice the size, sharp on high-density screens.
        QPixmap pixmap(48, 48);
        pixmap.setDevicePixelRatio(2.0);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath arc;
        arc.arcMoveTo(4, 4, 16, 16, 200);
        arc.arcTo(4, 4, 16, 16, 200, -250);
        const QPolygonF head({QPointF(17, 1), QPointF(22, 9), QPointF(13, 9)});
        for (const auto& [colour, width] : {std::pair{Qt::white, 4.0}, {Qt::black, 2.0}}) {
            painter.setPen(QPen(colour, width));
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(arc);
            painter.setBrush(colour);
            painter.drawPolygon(head);
        }
        return QCursor(pixmap, 12, 12);
    }();
    return cursor;
}

QCursor CTrackerCursors::Over(const CTransformTracker& tracker, const QPointF& point,
                              Qt::KeyboardModifiers keys, bool spaceHeld, Qt::CursorShape otherwise)
{
    const int index = tracker.IsActive() ? tracker.CursorIndex(point, keys, spaceHeld)
                                         : CTransformTracker::kNoCursor;
    return index != CTransformTracker::kNoCursor ? Cursor(index) : QCursor(otherwise);
}
