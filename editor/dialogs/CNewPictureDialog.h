#pragma once

#include "ColourRef.h"

#include <QDialog>
#include <QSize>

class CColourButton;
class CNumberEdit;
class QButtonGroup;
class QComboBox;

// What a new picture is made from.
struct NewPictureSettings
{
    QSize size;
    ColourRef background;
    QString title;
};

// "새 파일": the size of a new picture, from a list of fixed sizes or typed,
// and its background colour. OK is refused while the size cannot be made.
class CNewPictureDialog : public QDialog
{
    Q_OBJECT

public:
    enum SizeMode
    {
        ListMode = 0,
        CustomMode = 1
    };
    static constexpr int kDefaultEntry = 3;

    explicit CNewPictureDialog(QWidget* parent = nullptr);

    // Valid after the dialog ended with OK.
    NewPictureSettings Settings() const;

    static int EntryCount();
    static QSize EntrySize(int index);

    void accept() override;

private:
    void ApplyMode();
    void ChooseEntry(int index);

    QButtonGroup* modes_ = nullptr;
    QComboBox* sizes_ = nullptr;
    CNumberEdit* width_ = nullptr;
    CNumberEdit* height_ = nullptr;
    CColourButton* background_ = nullptr;
    QSize size_;
};
