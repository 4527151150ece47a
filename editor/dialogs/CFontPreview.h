#pragma once

#include "CTextItem.h"

#include <QWidget>

// The preview label of the text dialog: "가나다ABCabc123" on one line, centred,
// in the font and colour of the text, on the button-face colour (or on one
// that contrasts with the text, so that white text shows).
class CFontPreview : public QWidget
{
    Q_OBJECT

public:
    static const QString kSample;

    explicit CFontPreview(QWidget* parent = nullptr);

    void SetFormat(const CharFormat& format);
    const CharFormat& Format() const { return format_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CharFormat format_;
};
