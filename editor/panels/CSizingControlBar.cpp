#include "CSizingControlBar.h"

#include <QMainWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

CSizingControlBar::CSizingControlBar(const QString& caption, QWidget* parent)
    : QDockWidget(caption, parent), client_(new QWidget(this))
{
    client_->installEventFilter(this);
    client_->setMouseTracking(true);
    setWidget(client_);
    connect(this, &QDockWidget::dockLocationChanged, this, &CSizingControlBar::AreaChanged);
    connect(this, &QDockWidget::topLevelChanged, this, [this] { AreaChanged(DockedArea()); });
}

void CSizingControlBar::SetDefaultSize(QSize size)
{
    horzSize_ = size;
    vertSize_ = size;
    floatSize_ = size;
}

void CSizingControlBar::SetMinimumSizes(QSize horizontal, QSize vertical)
{
    minHorz_ = horizontal;
    minVert_ = vertical;
}

QMainWindow* CSizingControlBar::MainWindow() const
{
    return qobject_cast<QMainWindow*>(parentWidget());
}

Qt::DockWidgetArea CSizingControlBar::DockedArea() const
{
    const QMainWindow* window = MainWindow();
    if (window == nullptr || isFloating()) {
        return Qt::NoDockWidgetArea;
    }
    return window->dockWidgetArea(const_cast<CSizingControlBar*>(this));
}

bool CSizingControlBar::IsHorizontal() const
{
    const Qt::DockWidgetArea area = DockedArea();
    return area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea;
}

QSize CSizingControlBar::CurrentSize() const
{
    if (DockedArea() == Qt::NoDockWidgetArea) {
        return floatSize_;
    }
    return IsHorizontal() ? horzSize_ : vertSize_;
}

void CSizingControlBar::SetCurrentSize(QSize size)
{
    if (DockedArea() == Qt::NoDockWidgetArea) {
        floatSize_ = size.expandedTo(minFloat_);
        resize(floatSize_);
        return;
    }
    (IsHorizontal() ? horzSize_ : vertSize_) = size;
    ApplyCurrentSize();
}

void CSizingControlBar::ApplyCurrentSize()
{
    QMainWindow* window = MainWindow();
    if (window == nullptr || DockedArea() == Qt::NoDockWidgetArea) {
        return;
    }
    if (IsHorizontal()) {
        window->resizeDocks({this}, {horzSize_.height()}, Qt::Vertical);
    } else {
        window->resizeDocks({this}, {vertSize_.width()}, Qt::Horizontal);
    }
}

void CSizingControlBar::SetPanel(QWidget* panel)
{
    delete panel_;
    panel_ = panel;
    panel_->setParent(client_);
    panel_->setMinimumSize(0, 0);
    panel_->show();
    LayOutClient();
}

int CSizingControlBar::EdgeThickness() const
{
    return DockedArea() == Qt::NoDockWidgetArea ? 0 : edgeWidth_;
}

QRect CSizingControlBar::EdgeRect() const
{
    const QRect all = client_->rect();
    const int thickness = EdgeThickness();
    switch (DockedArea()) {
    case Qt::BottomDockWidgetArea:
        return {all.left(), all.top(), all.width(), thickness};
    case Qt::TopDockWidgetArea:
        return {all.left(), all.bottom() + 1 - thickness, all.width(), thickness};
    case Qt::RightDockWidgetArea:
        return {all.left(), all.top(), thickness, all.height()};
    case Qt::LeftDockWidgetArea:
        return {all.right() + 1 - thickness, all.top(), thickness, all.height()};
    default:
        return {};
    }
}

QSize CSizingControlBar::sizeHint() const
{
    return CurrentSize();
}

void CSizingControlBar::LayOutClient()
{
    const int thickness = EdgeThickness();
    client_->setMinimumSize(IsHorizontal() ? 0 : thickness, IsHorizontal() ? thickness : 0);
    if (panel_ == nullptr) {
        return;
    }
    // The edge is a strip along one whole side, so what is left is a rectangle.
    const QRect area = QRegion(client_->rect()).subtracted(EdgeRect()).boundingRect();
    panel_->setGeometry(area);
}

void CSizingControlBar::PaintEdge(QPainter& painter, const QRect& edge)
{
    painter.fillRect(edge, palette().button());
    painter.setPen(palette().light().color());
    painter.drawRect(edge.adjusted(0, 0, -1, -1));
}

bool CSizingControlBar::EdgePress(QPoint point)
{
    if (!EdgeRect().contains(point)) {
        return false;
    }
    dragging_ = true;
    dragStart_ = client_->mapToGlobal(point);
    dragStartSize_ = CurrentSize();
    return true;
}

void CSizingControlBar::EdgeMove(QPoint point)
{
    if (!dragging_) {
        client_->setCursor(EdgeRect().contains(point)
                               ? (IsHorizontal() ? Qt::SizeVerCursor : Qt::SizeHorCursor)
                               : Qt::ArrowCursor);
        return;
    }
    // Dragging towards the document grows the bar.
    const QPoint moved = client_->mapToGlobal(point) - dragStart_;
    QSize size = dragStartSize_;
    switch (DockedArea()) {
    case Qt::BottomDockWidgetArea:
        size.rheight() -= moved.y();
        break;
    case Qt::TopDockWidgetArea:
        size.rheight() += moved.y();
        break;
    case Qt::RightDockWidgetArea:
        size.rwidth() -= moved.x();
        break;
    case Qt::LeftDockWidgetArea:
        size.rwidth() += moved.x();
        break;
    default:
        return;
    }
    SetCurrentSize(size.expandedTo(IsHorizontal() ? minHorz_ : minVert_));
}

void CSizingControlBar::EdgeRelease(QPoint)
{
    dragging_ = false;
}

void CSizingControlBar::AreaChanged(Qt::DockWidgetArea)
{
    LayOutClient();
    client_->update();
}

bool CSizingControlBar::ClientEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Paint: {
        QPainter painter(client_);
        const QRect edge = EdgeRect();
        if (!edge.isEmpty()) {
            PaintEdge(painter, edge);
        }
        return true;
    }
    case QEvent::Resize:
        LayOutClient();
        return false;
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        return mouse->button() == Qt::LeftButton && EdgePress(mouse->position().toPoint());
    }
    case QEvent::MouseMove:
        EdgeMove(static_cast<QMouseEvent*>(event)->position().toPoint());
        return true;
    case QEvent::MouseButtonRelease:
        EdgeRelease(static_cast<QMouseEvent*>(event)->position().toPoint());
        return true;
    default:
        return false;
    }
}

bool CSizingControlBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == client_) {
        return ClientEvent(event);
    }
    return QDockWidget::eventFilter(watched, event);
}

void CSizingControlBar::resizeEvent(QResizeEvent* event)
{
    QDockWidget::resizeEvent(event);
    // A floating bar keeps the size the user gives it; docked sizes change
    // only through the sizing edge and the collapse button.
    if (isFloating() && isVisible()) {
        floatSize_ = size();
    }
}
