#pragma once

#include "CPanelPage.h"

class CMessageReceiver;
class CValueSlider;
class QLineEdit;
class QToolButton;

// The zoom page under the adjustment pages, "줌인/줌아웃": the view's zoom in
// percent (10 … 400), changed with the minus and plus buttons, the slider or
// a typed number. Every change made here goes to the view; a zoom the view
// reports is only shown.
class CZoomPage : public CPanelPage
{
    Q_OBJECT

public:
    static constexpr int kMinimum = 10;
    static constexpr int kMaximum = 400;
    static constexpr int kSlider = 1142;
    static constexpr int kHeight = 70;

    explicit CZoomPage(CMessageReceiver* mainWindow, QWidget* parent = nullptr);

    // The steps 10, 25, 50, 75, 100, 200, 300, 400: the next one down or up;
    // a zoom at the end of the range stays.
    static int ZoomOutStep(int zoom);
    static int ZoomInStep(int zoom);
    // The typed text as a zoom: blanks and one trailing "%" dropped, the
    // leading decimal number (0 when none) clamped to 10 … 400.
    static int ParseZoomText(const QString& text);

    int Zoom() const { return zoom_; }
    // Shows a zoom without sending it (the view's own zoom).
    void ShowZoom(int percent);
    // Shows the view's zoom factor (1.0 = 100 %).
    void ShowZoomFactor(double factor);

    CValueSlider* Slider() const { return slider_; }
    QLineEdit* Text() const { return text_; }
    QToolButton* MinusButton() const { return minus_; }
    QToolButton* PlusButton() const { return plus_; }

private:
    QToolButton* AddButton(const QString& text, const QString& name, const QRect& place,
                           int (*step)(int));
    // Shows the zoom and sends it to the view.
    void Apply(bool moveSlider);

    CMessageReceiver* mainWindow_;
    QLineEdit* text_;
    QToolButton* minus_;
    CValueSlider* slider_;
    QToolButton* plus_;
    int zoom_ = 100;
};
