#pragma once

#include <QProgressBar>

// A progress bar that draws its text over itself: the filled part (from the
// left, position ÷ range) in the highlight colour, the rest in the window
// colour (the white of text fields, QPalette::Base, not the dialog face; or
// a colour of its own, as the list's row bars use light grey), and the text
// centred on one line in two clipped passes, in the window colour over the
// filled part and in the highlight colour over the rest.
// The text is the bar's own text when one is set, else the percentage.
class CTextProgressBar : public QProgressBar
{
    Q_OBJECT

public:
    explicit CTextProgressBar(QWidget* parent = nullptr);

    // An empty text shows the percentage again.
    void SetBarText(const QString& text);
    void SetRestColour(const QColor& colour);
    QString text() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void UpdateDescription();

    QString barText_;
    QColor restColour_;
};
