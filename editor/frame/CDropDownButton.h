#pragma once

#include <QToolButton>

#include <functional>

// A tool bar button with a drop-down arrow whose arrow does not open a menu
// by itself: it reports to the owner, which decides what to pop up.
class CDropDownButton : public QToolButton
{
    Q_OBJECT

public:
    CDropDownButton(QAction* action, QMenu* menu, std::function<void()> arrowClicked,
                    QWidget* parent = nullptr);

    // Shows the menu under the button.
    void PopUp(QMenu* menu);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool OnArrow(QPoint point) const;

    std::function<void()> arrowClicked_;
};
