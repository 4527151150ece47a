#include "CDropDownButton.h"

#include <QMenu>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionToolButton>

CDropDownButton::CDropDownButton(QAction* action, QMenu* menu, std::function<void()> arrowClicked,
                                 QWidget* parent)
    : QToolButton(parent), arrowClicked_(std::move(arrowClicked))
{
    setDefaultAction(action);
    // The menu is set only so that the arrow is drawn; presses on it go to
    // the owner.
    setMenu(menu);
    setPopupMode(QToolButton::MenuButtonPopup);
}

void CDropDownButton::PopUp(QMenu* menu)
{
    menu->popup(mapToGlobal(rect().bottomLeft() + QPoint(0, 1)));
}

bool CDropDownButton::OnArrow(QPoint point) const
{
    QStyleOptionToolButton option;
    initStyleOption(&option);
    return style()
        ->subControlRect(QStyle::CC_ToolButton, &option, QStyle::SC_ToolButtonMenu, this)
        .contains(point);
}

void CDropDownButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && OnArrow(event->position().toPoint())) {
        if (isEnabled()) {
            arrowClicked_();
        }
        event->accept();
        return;
    }
    QToolButton::mousePressEvent(event);
}
