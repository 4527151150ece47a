#pragma once

#include <QAbstractButton>

// The picture button at the right end of the top dock area: it shows its up
// and down pictures and runs no command.
class CDecorationButton : public QAbstractButton
{
    Q_OBJECT

public:
    static constexpr int kId = 1103;

    explicit CDecorationButton(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {64, 28}; }

protected:
    void paintEvent(QPaintEvent* event) override;
};
