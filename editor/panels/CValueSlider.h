#pragma once

#include <QWidget>

class QStyleOptionSlider;

// The horizontal slider of the panel pages: an integer position within an
// integer range, a float step factor that turns positions into the values
// the page shows, and a default marker (a tick under the groove) at the
// value that leaves the picture unchanged. Pressing the marker puts the
// thumb on it; dragging moves the thumb; keys move it by one or a page.
// While the thumb is dragged it announces every new position (Moved); when
// the mouse button is released or a key moved it, it announces the final
// position (Set), even when the position did not change.
class CValueSlider : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kPageSize = 20;
    // Height of the strip under the groove that holds the marker.
    static constexpr int kMarkerStrip = 5;

    explicit CValueSlider(int id, QWidget* parent = nullptr);

    int Id() const { return id_; }
    void SetRange(int minimum, int maximum);
    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }
    // Clamps into the range; announces nothing.
    void SetPosition(int position);
    int Position() const { return position_; }
    void SetStep(float step);
    float Step() const { return step_; }
    void SetMarker(float marker);
    float Marker() const { return marker_; }

    // The position that shows `value` at `step`: the nearest one, so that a
    // value made from a position (position × step, in float) gives that
    // position back.
    static int PositionOf(double value, float step);
    // The marker's position (marker ÷ step).
    int MarkerPosition() const { return PositionOf(marker_, step_); }
    // The thumb at the current position and the marker's hit area, in
    // widget coordinates.
    QRect ThumbRect() const;
    QRect MarkerRect() const;
    // The x of the thumb's centre at a position.
    int CentreOf(int position) const;

    QSize sizeHint() const override;

signals:
    // The thumb moved to a new position during a drag.
    void Moved(int id, int position);
    // The change is finished: button released or a key pressed.
    void Set(int id, int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    enum class Press
    {
        None,
        Marker,
        Drag,
    };

    QStyleOptionSlider StyleOption(int position) const;
    QRect ThumbRectAt(int position) const;
    int PositionAt(int thumbCentreX) const;
    // Moves the thumb; true when the position changed.
    bool MoveTo(int position);
    void DropPress();

    int id_;
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
    float step_ = 1.0f;
    float marker_ = 0.0f;
    Press press_ = Press::None;
    int grabOffset_ = 0; // thumb centre minus the mouse x during a drag
};
