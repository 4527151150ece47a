#include "CColourButton.h"

#include "CColourPickerDialog.h"
#include "CColourPopup.h"
#include "CRecentColours.h"
#include "ColourText.h"

#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

CColourButton::CColourButton(QWidget* parent) : QPushButton(parent)
{
    setAutoDefault(false);
    SetColour(colour_);
    connect(this, &QPushButton::clicked, this, &CColourButton::ChooseColour);
}

void CColourButton::SetColour(ColourRef colour)
{
    colour_ = colour;
    // The button shows its colour only as paint: screen readers read it here.
    setAccessibleDescription(ColourHexText(colour));
    update();
}

bool CColourButton::ChooseColour()
{
    CColourPopup popup(this, colour_);
    if (popup.exec() != QDialog::Accepted) {
        return false;
    }
    ColourRef chosen = popup.Colour();
    if (!popup.Picked()) {
        CColourPickerDialog picker(colour_, window());
        if (picker.exec() != QDialog::Accepted) {
            return false;
        }
        chosen = picker.Colour();
    }
    SetColour(chosen);
    CRecentColours::Add(chosen);
    emit ColourChosen(chosen);
    return true;
}

void CColourButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    const QRect area = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(area, ToQColor(colour_));
    painter.setPen(Qt::black);
    painter.drawRect(area);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(3, 3, -3, -3);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}
