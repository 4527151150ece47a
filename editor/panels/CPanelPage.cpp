#include "CPanelPage.h"

#include "CPageHeaderButton.h"

#include <QPainter>

CPanelPage::CPanelPage(const QString& caption, bool headerToggles, QWidget* parent)
    : QWidget(parent), header_(new CPageHeaderButton(caption, headerToggles, this))
{
    setAccessibleName(caption);
    // Static labels draw on the page's own grey.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, kBackground);
    setPalette(colours);
}

void CPanelPage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    const int top = CPageHeaderButton::kHeight;
    const int right = width() - 1;
    const int bottom = height() - 1;
    if (bottom <= top) {
        return; // collapsed: the header alone
    }
    painter.setPen(QColor(128, 128, 128));
    const QPoint frame[] = {{0, top}, {0, bottom}, {right, bottom}, {right, top}};
    painter.drawPolyline(frame, 4);
}

void CPanelPage::Place(QWidget* control, const QRect& place, const QString& name)
{
    control->setGeometry(place);
    control->setAccessibleName(name);
}

void CPanelPage::ShowBody(bool visible)
{
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child != header_) {
            child->setVisible(visible);
        }
    }
}
