#include "CSizingControlBarH.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QPainter>

namespace {

constexpr int kButtonLength = 31;
constexpr int kGradientBands = 64;

struct CaptionColours
{
    QColor from;
    QColor to;
    QColor text;
};

CaptionColours Colours(bool active)
{
    if (active) {
        return {QColor(10, 36, 106), QColor(166, 202, 240), Qt::white};
    }
    return {QColor(128, 128, 128), QColor(192, 192, 192), QColor(212, 208, 200)};
}

QColor Blend(const QColor& from, const QColor& to, int band)
{
    const auto mix = [band](int a, int b) { return a + (b - a) * band / (kGradientBands - 1); };
    return {mix(from.red(), to.red()), mix(from.green(), to.green()), mix(from.blue(), to.blue())};
}

} // namespace

CSizingControlBarH::CSizingControlBarH(const QString& caption, QWidget* parent)
    : CSizingControlBarG(caption, parent), captionFont_(CaptionFontName(QFontDatabase::families())),
      edgeColour_(palette().color(QPalette::Dark))
{
    SetEdgeWidth(7);
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    connect(qApp, &QApplication::focusChanged, TitleBar(), qOverload<>(&QWidget::update));
}

QString CSizingControlBarH::CaptionFontName(const QStringList& families)
{
    const QString gulim = QStringLiteral("굴림");
    return families.contains(gulim, Qt::CaseInsensitive) ? gulim : QStringLiteral("Arial");
}

void CSizingControlBarH::ToggleCollapse()
{
    collapsed_ = !collapsed_;
    if (collapsed_) {
        SetCurrentSize(IsHorizontal() ? MinimumHorizontalSize() : MinimumVerticalSize());
    } else {
        SetCurrentSize(FloatingSize());
    }
    Client()->update();
}

QRect CSizingControlBarH::CollapseButtonRect() const
{
    const QRect edge = EdgeRect();
    if (edge.isEmpty()) {
        return {};
    }
    if (IsHorizontal()) {
        const int left = static_cast<int>(edge.width() / 2.0 - kButtonLength / 2.0);
        return {edge.left() + left, edge.top(), kButtonLength, edge.height()};
    }
    const int top = static_cast<int>(edge.height() / 2.0 - kButtonLength / 2.0);
    return {edge.left(), edge.top() + top, edge.width(), kButtonLength};
}

int CSizingControlBarH::TitleThickness() const
{
    QFont font(captionFont_);
    font.setPointSizeF(8.5);
    return QFontMetrics(font).height() + 4;
}

bool CSizingControlBarH::IsActive() const
{
    const QWidget* focus = QApplication::focusWidget();
    return focus != nullptr && isAncestorOf(focus);
}

void CSizingControlBarH::PaintTitle(QPainter& painter, const QRect& strip)
{
    const CaptionColours colours = Colours(IsActive());
    const bool vertical = VerticalTitle();
    const int length = vertical ? strip.height() : strip.width();
    // The gradient runs from the start of the caption text to the far end.
    for (int band = 0; band < kGradientBands; ++band) {
        const int from = length * band / kGradientBands;
        const int to = length * (band + 1) / kGradientBands;
        const QRect part =
            vertical ? QRect(strip.left(), strip.bottom() + 1 - to, strip.width(), to - from)
                     : QRect(strip.left() + from, strip.top(), to - from, strip.height());
        painter.fillRect(part, Blend(colours.from, colours.to, band));
    }
    if (length <= 20) {
        return;
    }
    QFont font(captionFont_);
    font.setPointSizeF(8.5);
    painter.setFont(font);
    painter.setPen(colours.text);
    if (vertical) {
        // Turned by 90 degrees, read from the bottom up.
        painter.save();
        painter.translate(strip.left(), strip.bottom());
        painter.rotate(-90);
        painter.drawText(QRect(3, 0, strip.height() - 6, strip.width()),
                         Qt::AlignLeft | Qt::AlignVCenter, windowTitle());
        painter.restore();
    } else {
        painter.drawText(strip.adjusted(3, 0, -3, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         windowTitle());
    }
}

bool CSizingControlBarH::TitlePress(QPoint)
{
    return false;
}

void CSizingControlBarH::TitleRelease(QPoint) {}

void CSizingControlBarH::PaintArrow(QPainter& painter, const QRect& button) const
{
    // The arrow points the way the button moves the edge.
    Qt::DockWidgetArea towards = DockedArea();
    if (collapsed_) {
        switch (towards) {
        case Qt::BottomDockWidgetArea:
            towards = Qt::TopDockWidgetArea;
            break;
        case Qt::TopDockWidgetArea:
            towards = Qt::BottomDockWidgetArea;
            break;
        case Qt::LeftDockWidgetArea:
            towards = Qt::RightDockWidgetArea;
            break;
        default:
            towards = Qt::LeftDockWidgetArea;
            break;
        }
    }
    const QPointF c = QRectF(button).center();
    QPolygonF arrow;
    switch (towards) {
    case Qt::BottomDockWidgetArea:
        arrow << c + QPointF(-4, -2) << c + QPointF(4, -2) << c + QPointF(0, 2);
        break;
    case Qt::TopDockWidgetArea:
        arrow << c + QPointF(-4, 2) << c + QPointF(4, 2) << c + QPointF(0, -2);
        break;
    case Qt::LeftDockWidgetArea:
        arrow << c + QPointF(2, -4) << c + QPointF(2, 4) << c + QPointF(-2, 0);
        break;
    default:
        arrow << c + QPointF(-2, -4) << c + QPointF(-2, 4) << c + QPointF(2, 0);
        break;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(pressed_ ? QColor(0, 0, 255) : QColor(Qt::black));
    painter.drawPolygon(arrow);
    painter.setRenderHint(QPainter::Antialiasing, false);
}

void CSizingControlBarH::PaintEdge(QPainter& painter, const QRect& edge)
{
    painter.fillRect(edge, palette().button());
    // A line in the edge colour along the edge, under the button.
    const QRect line = IsHorizontal() ? QRect(edge.left(), edge.center().y(), edge.width(), 1)
                                      : QRect(edge.center().x(), edge.top(), 1, edge.height());
    painter.fillRect(line, edgeColour_);
    const QRect button = CollapseButtonRect();
    painter.fillRect(button, pressed_ ? QColor(255, 255, 204) : QColor(236, 233, 216));
    painter.setPen(edgeColour_);
    painter.drawRect(button.adjusted(0, 0, -1, -1));
    PaintArrow(painter, button);
}

bool CSizingControlBarH::EdgePress(QPoint point)
{
    if (CollapseButtonRect().contains(point)) {
        pressed_ = true;
        Client()->update();
        return true;
    }
    return CSizingControlBarG::EdgePress(point);
}

void CSizingControlBarH::EdgeMove(QPoint point)
{
    if (!pressed_ && CollapseButtonRect().contains(point)) {
        Client()->setCursor(Qt::PointingHandCursor);
        return;
    }
    CSizingControlBarG::EdgeMove(point);
}

void CSizingControlBarH::EdgeRelease(QPoint point)
{
    if (pressed_) {
        pressed_ = false;
        if (CollapseButtonRect().contains(point)) {
            ToggleCollapse();
        }
        Client()->update();
        return;
    }
    CSizingControlBarG::EdgeRelease(point);
}

void CSizingControlBarH::closeEvent(QCloseEvent* event)
{
    event->ignore();
}
