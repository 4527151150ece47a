#include "CSizingControlBarG.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

// The bar's title strip: a plain widget whose size, drawing and button
// handling come from the bar. Presses the bar does not take fall through to
// the dock widget, which drags the bar.
class CBarTitle : public QWidget
{
public:
    explicit CBarTitle(CSizingControlBarG* bar) : QWidget(bar), bar_(bar) {}

    QSize sizeHint() const override { return {bar_->TitleThickness(), bar_->TitleThickness()}; }
    // The strip may be shorter than thick, so a collapsed bar keeps only its edge.
    QSize minimumSizeHint() const override { return {0, 0}; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        bar_->PaintTitle(painter, rect());
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && bar_->TitlePress(event->position().toPoint())) {
            event->accept();
            return;
        }
        event->ignore();
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        bar_->TitleRelease(event->position().toPoint());
        event->ignore();
    }

private:
    CSizingControlBarG* bar_;
};

} // namespace

CSizingControlBarG::CSizingControlBarG(const QString& caption, QWidget* parent)
    : CSizingControlBar(caption, parent), titleBar_(new CBarTitle(this))
{
    setTitleBarWidget(titleBar_);
}

QRect CSizingControlBarG::CloseButtonRect() const
{
    const QRect strip = titleBar_->rect();
    const int top = (TitleThickness() - 11) / 2;
    if (VerticalTitle()) {
        return {strip.left() + top, strip.top() + 2, 11, 11};
    }
    return {strip.right() - 12, strip.top() + top, 11, 11};
}

void CSizingControlBarG::PaintTitle(QPainter& painter, const QRect& strip)
{
    painter.fillRect(strip, palette().button());
    // Two raised lines make the gripper.
    const QRect box = CloseButtonRect();
    for (int line = 0; line < 2; ++line) {
        const int offset = strip.height() / 2 - 3 + line * 4;
        const int across = strip.width() / 2 - 3 + line * 4;
        painter.setPen(palette().light().color());
        if (VerticalTitle()) {
            painter.drawLine(across, box.bottom() + 4, across, strip.bottom() - 3);
            painter.setPen(palette().dark().color());
            painter.drawLine(across + 1, box.bottom() + 4, across + 1, strip.bottom() - 3);
        } else {
            painter.drawLine(strip.left() + 3, offset, box.left() - 4, offset);
            painter.setPen(palette().dark().color());
            painter.drawLine(strip.left() + 3, offset + 1, box.left() - 4, offset + 1);
        }
    }
    // The close box: a cross, sunken while pressed.
    painter.setPen(closePressed_ ? palette().dark().color() : palette().light().color());
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setPen(QPen(palette().buttonText().color(), 1.5));
    painter.drawLine(box.topLeft() + QPoint(3, 3), box.bottomRight() - QPoint(3, 3));
    painter.drawLine(box.topRight() + QPoint(-3, 3), box.bottomLeft() + QPoint(3, -3));
}

bool CSizingControlBarG::TitlePress(QPoint point)
{
    closePressed_ = CloseButtonRect().contains(point);
    titleBar_->update();
    return closePressed_;
}

void CSizingControlBarG::TitleRelease(QPoint point)
{
    const bool close = closePressed_ && CloseButtonRect().contains(point);
    closePressed_ = false;
    titleBar_->update();
    if (close) {
        hide();
    }
}

void CSizingControlBarG::AreaChanged(Qt::DockWidgetArea area)
{
    QDockWidget::DockWidgetFeatures flags = features();
    flags.setFlag(QDockWidget::DockWidgetVerticalTitleBar, IsHorizontal());
    setFeatures(flags);
    CSizingControlBar::AreaChanged(area);
    titleBar_->update();
}
