#pragma once

#include "TextDecoration.h"

#include <QDialog>

#include <vector>

class CColourButton;
class QCheckBox;
class QFormLayout;
class QSpinBox;

// The settings of one part of a text's decoration, titled with its name:
// "외곽선" (colour, width), "그림자" (colour, offsets, softness) or "배경"
// (colour, opacity, padding, corners), each with "사용" (on when the dialog
// opens; untick it to turn the part off). OK hands back the decoration with
// that part changed.
class CTextStyleDialog : public QDialog
{
    Q_OBJECT

public:
    enum Part : int
    {
        kOutline = 0,
        kShadow = 1,
        kBox = 2
    };
    // The caption of each part, also its button's on the font bar.
    static QString Caption(Part part);

    CTextStyleDialog(Part part, const TextDecoration& decoration, QWidget* parent = nullptr);

    TextDecoration Decoration() const;

    QCheckBox* OnBox() const { return on_; }
    CColourButton* ColourButton() const { return colour_; }
    // The number fields in the order shown.
    const std::vector<QSpinBox*>& Fields() const { return fields_; }

private:
    QSpinBox* AddField(QFormLayout* form, const QString& caption, int min, int max, int value);

    Part part_;
    TextDecoration decoration_;
    int shownOpacity_ = 0;
    QCheckBox* on_ = nullptr;
    CColourButton* colour_ = nullptr;
    std::vector<QSpinBox*> fields_;
};
