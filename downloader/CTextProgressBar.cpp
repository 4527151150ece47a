#include "CTextProgressBar.h"

#include <QPainter>

CTextProgressBar::CTextProgressBar(QWidget* parent) : QProgressBar(parent)
{
    setRange(0, 100);
    setValue(0);
    setAttribute(Qt::WA_OpaquePaintEvent); // every pixel is painted: no erase first
    connect(this, &QProgressBar::valueChanged, this, &CTextProgressBar::UpdateDescription);
    UpdateDescription();
}

void CTextProgressBar::SetBarText(const QString& text)
{
    if (text != barText_) {
        barText_ = text;
        UpdateDescription();
        update();
    }
}

void CTextProgressBar::SetRestColour(const QColor& colour)
{
    restColour_ = colour;
    update();
}

QString CTextProgressBar::text() const
{
    if (!barText_.isEmpty()) {
        return barText_;
    }
    const int span = maximum() - minimum();
    const int percent = span > 0 ? (value() - minimum()) * 100 / span : 0;
    return QString("%1%").arg(percent);
}

// Screen readers read the bar's text as its description (the value
// interface of the progress bar gives the position).
void CTextProgressBar::UpdateDescription()
{
    setAccessibleDescription(text());
}

void CTextProgressBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect whole = rect();
    const int span = maximum() - minimum();
    const int filledWidth =
        span > 0 ? int(qint64(whole.width()) * (value() - minimum()) / span) : 0;
    const QRect filled(whole.left(), whole.top(), filledWidth, whole.height());
    const QRect rest(whole.left() + filledWidth, whole.top(), whole.width() - filledWidth,
                     whole.height());
    const QColor highlight = palette().color(QPalette::Highlight);
    // The window colour of a text field (Base), not the dialog face.
    const QColor window = palette().color(QPalette::Base);
    painter.fillRect(filled, highlight);
    painter.fillRect(rest, restColour_.isValid() ? restColour_ : window);

    const QString shown = text();
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    painter.setClipRect(filled);
    painter.setPen(window);
    painter.drawText(whole, flags, shown);
    painter.setClipRect(rest);
    painter.setPen(highlight);
    painter.drawText(whole, flags, shown);
}
