#include "CCategoryTabStrip.h"

#include "CCategoryTabStripAccessible.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace {

constexpr int kDefaultHeight = 20;

} // namespace

CCategoryTabStrip::CCategoryTabStrip(QWidget* parent)
    : QWidget(parent), background_(palette().color(QPalette::Window))
{
    CCategoryTabStripAccessible::Install();
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

CCategoryTabStrip::~CCategoryTabStrip() = default;

int CCategoryTabStrip::AddTab(const QString& caption)
{
    captions_.append(caption);
    if (current_ < 0) {
        current_ = 0;
    }
    updateGeometry();
    update();
    return Count() - 1;
}

void CCategoryTabStrip::SetTabs(const QStringList& captions)
{
    captions_ = captions;
    current_ = captions_.isEmpty() ? -1 : 0;
    marked_ = -1;
    pressed_ = -1;
    updateGeometry();
    update();
}

QString CCategoryTabStrip::Caption(int index) const
{
    return index >= 0 && index < Count() ? captions_[index] : QString();
}

void CCategoryTabStrip::SetCurrentTab(int index)
{
    if (index < 0 || index >= Count() || index == current_) {
        return;
    }
    current_ = index;
    update();
    NotifyAccessibleFocus();
}

void CCategoryTabStrip::SetMarkedTab(int index)
{
    marked_ = index;
    update();
}

void CCategoryTabStrip::SetBackgroundColour(const QColor& colour)
{
    background_ = colour;
    update();
}

int CCategoryTabStrip::Padding() const
{
    return std::max(0, (height() - fontMetrics().height()) / 2);
}

QPolygon CCategoryTabStrip::TabShape(int index) const
{
    if (index < 0 || index >= Count()) {
        return {};
    }
    // Each tab starts where the previous one's bottom edge ends, less the
    // padding; the slant spans half the strip's height.
    const QFontMetrics metrics = fontMetrics();
    const int padding = Padding();
    const int slant = height() / 2;
    int left = 0;
    for (int tab = 0;; ++tab) {
        const int topRight = left + padding + metrics.horizontalAdvance(captions_[tab]) + padding;
        const int bottomRight = topRight + slant;
        if (tab == index) {
            return QPolygon({QPoint(left, 0), QPoint(topRight, 0), QPoint(bottomRight, height()),
                             QPoint(left, height())});
        }
        left = bottomRight - padding;
    }
}

int CCategoryTabStrip::TabAt(QPoint point) const
{
    // Pixel centres decide, so a pixel belongs to the shape it is drawn in.
    const QPointF centre = QPointF(point) + QPointF(0.5, 0.5);
    const auto contains = [this, centre](int index) {
        return QPolygonF(TabShape(index)).containsPoint(centre, Qt::OddEvenFill);
    };
    if (current_ >= 0 && contains(current_)) {
        return current_;
    }
    for (int index = 0; index < Count(); ++index) {
        if (contains(index)) {
            return index;
        }
    }
    return -1;
}

void CCategoryTabStrip::ActivateTab(int index)
{
    if (index < 0 || index >= Count() || index == current_) {
        return;
    }
    SetCurrentTab(index);
    if (receiver_ != nullptr) {
        receiver_->Receive(msg::Make(msg::kTabChanged, index, 0));
    }
}

QSize CCategoryTabStrip::sizeHint() const
{
    const QPolygon last = TabShape(Count() - 1);
    return {last.isEmpty() ? 0 : last.boundingRect().right() + 1, kDefaultHeight};
}

QSize CCategoryTabStrip::minimumSizeHint() const
{
    return {0, kDefaultHeight};
}

void CCategoryTabStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), background_);
    painter.setPen(QColor(kLineColour));
    painter.drawLine(0, height() - 1, width() - 1, height() - 1);
    for (int index = Count() - 1; index >= 0; --index) {
        if (index != current_) {
            PaintTab(painter, index);
        }
    }
    if (current_ >= 0) {
        PaintTab(painter, current_);
    }
}

void CCategoryTabStrip::PaintTab(QPainter& painter, int index) const
{
    const QPolygon shape = TabShape(index);
    const bool current = index == current_;
    painter.setPen(Qt::NoPen);
    painter.setBrush(current ? background_ : QColor(kTabFill));
    painter.drawPolygon(shape);

    // Left, top and slanted edges; the bottom line is drawn under every tab
    // but the current one.
    const QPoint bottomLeft(shape[0].x(), height() - 1);
    const QPoint bottomRight(shape[2].x(), height() - 1);
    painter.setPen(QColor(kLineColour));
    painter.drawPolyline(QPolygon({bottomLeft, shape[0], shape[1], bottomRight}));
    if (!current) {
        painter.drawLine(bottomLeft, bottomRight);
    }

    QRgb colour = current ? kCurrentCaptionColour : kCaptionColour;
    if (index == marked_) {
        colour = kMarkedCaptionColour;
    }
    const int padding = Padding();
    const QRect text(shape[0].x() + padding, 0, shape[1].x() - shape[0].x() - 2 * padding,
                     height());
    painter.setPen(QColor(colour));
    painter.drawText(text, Qt::AlignCenter | Qt::TextSingleLine, captions_[index]);

    if (current && hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = text.adjusted(-1, 2, 1, -2);
        focus.backgroundColor = background_;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void CCategoryTabStrip::mousePressEvent(QMouseEvent* event)
{
    // Qt keeps the mouse with this widget until the release.
    pressed_ = event->button() == Qt::LeftButton ? TabAt(event->position().toPoint()) : -1;
}

void CCategoryTabStrip::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const int pressed = std::exchange(pressed_, -1);
    if (pressed >= 0 && TabAt(event->position().toPoint()) == pressed) {
        ActivateTab(pressed);
    }
}

void CCategoryTabStrip::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
        ActivateTab(current_ - 1);
        break;
    case Qt::Key_Right:
        ActivateTab(current_ + 1);
        break;
    case Qt::Key_Home:
        ActivateTab(0);
        break;
    case Qt::Key_End:
        ActivateTab(Count() - 1);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
}

void CCategoryTabStrip::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        updateGeometry();
        update();
    }
    QWidget::changeEvent(event);
}

void CCategoryTabStrip::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    NotifyAccessibleFocus();
}

void CCategoryTabStrip::NotifyAccessibleFocus()
{
    CPartsAccessible::NotifyCurrent(this, current_);
}
