#pragma once

#include <QAbstractButton>

// The 200 × 25 header of a panel page: a toggle button carrying the page's
// caption. Pressed means the page is expanded; the arrow at the right shows
// which way a click turns it. A header that does not toggle (the zoom page's)
// is drawn alike in both states and shows no arrow.
class CPageHeaderButton : public QAbstractButton
{
    Q_OBJECT

public:
    static constexpr int kWidth = 200;
    static constexpr int kHeight = 25;

    CPageHeaderButton(const QString& caption, bool toggles, QWidget* parent = nullptr);

    QSize sizeHint() const override { return QSize(kWidth, kHeight); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void PaintArrow(QPainter& painter) const;
};
