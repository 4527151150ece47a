#pragma once

#include <QObject>
#include <QSize>

class CNumberEdit;
class QCheckBox;

// Keeps a typed width and height in the proportions of a source picture
// while its box is ticked: typing a width (or ticking the box) sets the
// height, typing a height sets the width, rounded to the nearest pixel with
// halves up.
class CLinkedSize : public QObject
{
    Q_OBJECT

public:
    CLinkedSize(CNumberEdit* width, CNumberEdit* height, QCheckBox* linked, QObject* parent);

    void SetSource(QSize source) { source_ = source; }
    // round(value × numerator ÷ denominator), halves up, kept within what a
    // size field can show.
    static int Scaled(qint64 value, qint64 numerator, qint64 denominator);

private:
    void WidthTyped();
    void HeightTyped();
    bool Linked() const;

    CNumberEdit* width_;
    CNumberEdit* height_;
    QCheckBox* linked_;
    QSize source_;
};
