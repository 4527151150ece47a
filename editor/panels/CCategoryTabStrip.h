#pragma once

#include "CMessageReceiver.h"

#include <QColor>
#include <QPolygon>
#include <QStringList>
#include <QWidget>

// A strip of custom-drawn tabs along the top of a panel (the item library's
// categories, the image tool panel's pages).
//
// Shape: each tab is sized to its caption: a vertical left edge, a top edge,
// a right edge slanting outwards to the bottom, and a margin around the
// caption of half the difference between the strip height and the text
// height (the padding). Each tab overlaps the next by the padding.
//
// Drawing: tabs other than the current one are filled light grey and drawn
// from the last to the first (so a lower tab lies over a higher one); the
// current tab is drawn last in the strip's background colour; a one-pixel
// line runs along the bottom except under the current tab. Captions are grey,
// the current tab's black, and the marked tab's blue whether current or not.
//
// Hit rule: a point inside several overlapping tabs belongs to the current
// tab if it is one of them, otherwise to the lowest-numbered one.
//
// Switching: pressing the left button on a tab and releasing it over the same
// tab makes that tab current when it is not already, and sends
// msg::kTabChanged (wparam = new index, lparam 0) to the receiver. Left and
// Right, Home and End switch the same way from the keyboard.
//
// Accessibility: a page tab list whose children are the page tabs, named by
// their captions; the current tab is the selected one.
class CCategoryTabStrip : public QWidget
{
    Q_OBJECT

public:
    static constexpr QRgb kTabFill = qRgb(221, 221, 221);
    static constexpr QRgb kCaptionColour = qRgb(119, 119, 119);
    static constexpr QRgb kCurrentCaptionColour = qRgb(0, 0, 0);
    static constexpr QRgb kMarkedCaptionColour = qRgb(50, 51, 255);
    static constexpr QRgb kLineColour = qRgb(153, 153, 153);

    explicit CCategoryTabStrip(QWidget* parent = nullptr);
    ~CCategoryTabStrip() override;

    // Who gets msg::kTabChanged; usually the parent panel. May be null.
    void SetReceiver(CMessageReceiver* receiver) { receiver_ = receiver; }

    // Appends a tab and returns its index. The first tab added becomes
    // current.
    int AddTab(const QString& caption);
    // Replaces all tabs; tab 0 becomes current and no tab stays marked.
    void SetTabs(const QStringList& captions);
    int Count() const { return int(captions_.size()); }
    QString Caption(int index) const;

    // -1 when there is no tab.
    int CurrentTab() const { return current_; }
    // Makes a tab current without telling the receiver (the owner already
    // knows); an index out of range is ignored.
    void SetCurrentTab(int index);

    // The tab whose caption is blue; -1 (the default) for none.
    int MarkedTab() const { return marked_; }
    void SetMarkedTab(int index);

    // The fill of the current tab and of the strip itself.
    QColor BackgroundColour() const { return background_; }
    void SetBackgroundColour(const QColor& colour);

    // The outline of a tab in widget coordinates (empty when out of range).
    QPolygon TabShape(int index) const;
    // The tab that owns a point by the hit rule, or -1.
    int TabAt(QPoint point) const;
    // The padding around captions at the current height and font.
    int Padding() const;

    // Makes a tab current as a click on it does: tells the receiver when
    // the tab changes. Used by the keys and the accessible "press" action.
    void ActivateTab(int index);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void PaintTab(QPainter& painter, int index) const;
    void NotifyAccessibleFocus();

    QStringList captions_;
    int current_ = -1;
    int marked_ = -1;
    int pressed_ = -1;
    QColor background_;
    CMessageReceiver* receiver_ = nullptr;
};
