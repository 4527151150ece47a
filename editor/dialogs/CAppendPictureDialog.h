#pragma once

#include "CItemCanvas.h"
#include "ColourRef.h"

#include <QDialog>
#include <QSize>

class CColourButton;
class CNumberEdit;
class QButtonGroup;
class QCheckBox;

// How a picture is joined to the base picture.
struct AppendPictureChoice
{
    CItemCanvas::Side side = CItemCanvas::Below;
    int gap = 0;
    ColourRef gapColour = kWhite;
    bool merge = false; // merge the items into the base picture first
};

// "그림 이어붙이기": the side of the base picture a picture file is joined to,
// the gap between them and its colour, and whether the items are merged into
// the base picture. The dialog is given the sizes of both pictures so that it
// can refuse a joined picture that is too large; the caller joins them.
class CAppendPictureDialog : public QDialog
{
    Q_OBJECT

public:
    CAppendPictureDialog(QSize picture, QSizeF base, QWidget* parent = nullptr);

    // Valid after the dialog ended with OK.
    const AppendPictureChoice& Choice() const { return choice_; }

    // A joined picture larger than a picture may be is refused.
    void accept() override;

private:
    QSize picture_;
    QSizeF base_;
    AppendPictureChoice choice_;
    QButtonGroup* sides_ = nullptr;
    CNumberEdit* gap_ = nullptr;
    CColourButton* gapColour_ = nullptr;
    QCheckBox* merge_ = nullptr;
};
