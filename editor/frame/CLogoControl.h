#pragma once

#include <QWidget>

#include <functional>

// The program's logo in the tool bar; a click reports itself to the owner,
// which opens the item shop.
class CLogoControl : public QWidget
{
    Q_OBJECT

public:
    explicit CLogoControl(std::function<void()> clicked, QWidget* parent = nullptr);

    QSize sizeHint() const override { return {96, 28}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::function<void()> clicked_;
};
