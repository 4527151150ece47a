#include "CToolBarIcons.h"

#include "CommandIds.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace {

const QColor kInk(40, 40, 40);
const QColor kBlue(30, 90, 200);

QIcon Draw(const std::function<void(QPainter&)>& paint)
{
    QPixmap pixmap(CToolBarIcons::kSize * 2, CToolBarIcons::kSize * 2);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    return QIcon(pixmap);
}

void Page(QPainter& p)
{
    QPainterPath page;
    page.moveTo(4, 2);
    page.lineTo(12, 2);
    page.lineTo(16, 6);
    page.lineTo(16, 18);
    page.lineTo(4, 18);
    page.closeSubpath();
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawPath(page);
    p.drawPolyline(QPolygonF({{12, 2}, {12, 6}, {16, 6}}));
}

void Folder(QPainter& p)
{
    p.setPen(QPen(QColor(150, 110, 20), 1));
    p.setBrush(QColor(245, 200, 80));
    p.drawPolygon(QPolygonF({{2, 5}, {7, 5}, {9, 7}, {17, 7}, {17, 16}, {2, 16}}));
    p.setBrush(QColor(255, 225, 120));
    p.drawPolygon(QPolygonF({{4, 9}, {19, 9}, {17, 16}, {2, 16}}));
}

void Disk(QPainter& p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(3, 3, 14, 14), 1.5, 1.5);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6, 3, 8, 5));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(6, 11, 8, 6));
}

// A turning arrow over `span` degrees, clockwise when span is negative.
void Turn(QPainter& p, int span)
{
    // A small page in the middle, the arrow around it.
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(255, 240, 200));
    p.drawRect(QRectF(7.5, 7, 5, 6.5));
    const QRectF circle(2.5, 2.5, 15, 15);
    QPainterPath arc;
    const int start = span < 0 ? 150 : 30;
    arc.arcMoveTo(circle, start);
    arc.arcTo(circle, start, span);
    p.setPen(QPen(kBlue, 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    // The arrow head at the end of the arc, along its direction.
    const QPointF end = arc.currentPosition();
    const qreal angle = arc.angleAtPercent(1.0);
    QTransform turn;
    turn.translate(end.x(), end.y());
    turn.rotate(-angle);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPolygon(turn.map(QPolygonF({{3.5, 0}, {-2, -3.5}, {-2, 3.5}})));
}

void Mirror(QPainter& p, bool leftRight)
{
    if (!leftRight) {
        p.translate(20, 0);
        p.rotate(90);
    }
    p.setPen(QPen(kInk, 1, Qt::DashLine));
    p.drawLine(QPointF(10, 2), QPointF(10, 18));
    p.setPen(QPen(kInk, 1));
    p.setBrush(kBlue);
    p.drawPolygon(QPolygonF({{8, 4}, {8, 16}, {2, 16}}));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({{12, 4}, {12, 16}, {18, 16}}));
}

void CropMarks(QPainter& p)
{
    p.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::SquareCap));
    p.drawPolyline(QPolygonF({{5, 1}, {5, 15}, {19, 15}}));
    p.drawPolyline(QPolygonF({{1, 5}, {15, 5}, {15, 19}}));
}

void MoveArrows(QPainter& p)
{
    p.setPen(QPen(kInk, 1.5));
    p.drawLine(QPointF(10, 3), QPointF(10, 17));
    p.drawLine(QPointF(3, 10), QPointF(17, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    for (int quarter = 0; quarter < 4; ++quarter) {
        QTransform turn;
        turn.translate(10, 10);
        turn.rotate(90 * quarter);
        p.drawPolygon(turn.map(QPolygonF({{0, -9}, {-3, -5}, {3, -5}})));
    }
}

void Letter(QPainter& p)
{
    QFont font(QStringLiteral("Serif"));
    font.setPixelSize(17);
    font.setBold(true);
    p.setFont(font);
    p.setPen(kInk);
    p.drawText(QRectF(0, 0, 20, 20), Qt::AlignCenter, QStringLiteral("T"));
}

void Picture(QPainter& p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(200, 230, 255));
    p.drawRect(QRectF(2, 4, 16, 12));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 160, 60));
    p.drawPolygon(QPolygonF({{3, 15}, {8, 8}, {12, 13}, {14, 11}, {17, 15}}));
    p.setBrush(QColor(255, 190, 0));
    p.drawEllipse(QPointF(14, 7.5), 1.8, 1.8);
}

void Question(QPainter& p)
{
    p.setPen(QPen(kBlue, 1.5));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(2, 2, 16, 16));
    QFont font(QStringLiteral("Sans"));
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(2, 2, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
}

// A hooked arrow pointing back to the left (undo), or mirrored to the right
// (redo).
void HookArrow(QPainter& p, bool forward)
{
    if (forward) {
        p.translate(20, 0);
        p.scale(-1, 1);
    }
    QPainterPath hook;
    hook.moveTo(6, 7);
    hook.lineTo(12, 7);
    hook.cubicTo(19, 7, 19, 17, 12, 17);
    hook.lineTo(7, 17);
    p.setPen(QPen(kBlue, 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPolygon(QPolygonF({{1.5, 7}, {7, 2.5}, {7, 11.5}}));
}

} // namespace

QIcon CToolBarIcons::Icon(int id)
{
    switch (id) {
    case cmd::kFileNew:
        return Draw(Page);
    case cmd::kFileOpen:
        return Draw(Folder);
    case cmd::kFileSave:
        return Draw(Disk);
    case cmd::kRotateRight:
        return Draw([](QPainter& p) { Turn(p, -270); });
    case cmd::kRotateLeft:
        return Draw([](QPainter& p) { Turn(p, 270); });
    case cmd::kRotate180:
        return Draw([](QPainter& p) { Turn(p, -180); });
    case cmd::kMirrorLeftRight:
        return Draw([](QPainter& p) { Mirror(p, true); });
    case cmd::kMirrorTopBottom:
        return Draw([](QPainter& p) { Mirror(p, false); });
    case cmd::kCropButton:
        return Draw(CropMarks);
    case cmd::kMove:
        return Draw(MoveArrows);
    case cmd::kNewText:
        return Draw(Letter);
    case cmd::kInsertMenu:
        return Draw(Picture);
    case cmd::kHelp:
        return Draw(Question);
    case cmd::kUndo:
        return Draw([](QPainter& p) { HookArrow(p, false); });
    case cmd::kRedo:
        return Draw([](QPainter& p) { HookArrow(p, true); });
    default:
        return {};
    }
}
