#pragma once

#include <QDialog>
#include <QSize>
#include <QSizeF>

class CLinkedSize;
class CNumberEdit;
class QButtonGroup;
class QCheckBox;
class QComboBox;

// How an inserted picture is to be sized.
struct InsertPictureChoice
{
    int mode = 0;     // CInsertPictureDialog::kAutomatic or kCustom
    double scale = 0; // automatic: 0 keeps the source size, else × the base picture
    bool keepProportions = true;
    QSize size; // custom: the typed size
};

// "그림삽입": the size at which a picture file goes onto the picture as a new
// item, fitted to a share of the base picture or typed. The dialog is given
// the picture's size; the caller loads, resamples and places the picture.
class CInsertPictureDialog : public QDialog
{
    Q_OBJECT

public:
    enum Mode : int
    {
        kAutomatic = 0,
        kCustom = 1
    };
    static constexpr int kFitEntries = 11;

    explicit CInsertPictureDialog(QSize source, QWidget* parent = nullptr);

    // Valid after the dialog ended with OK.
    const InsertPictureChoice& Choice() const { return choice_; }
    // The scale of a fit-list entry: 0 for the source size, then 1.0 down to 0.1.
    static double ScaleOf(int entry);
    // The size the picture is placed at: the custom size; the source size for
    // scale 0; otherwise the box scale × base (whose width and height the
    // caller exchanges for a base picture lying turned), filled exactly or,
    // keeping proportions, by the largest size of the source's proportions.
    static QSize PlacedSize(const InsertPictureChoice& choice, QSize source, QSizeF base);

    // A custom size outside what a picture may have is refused.
    void accept() override;

private:
    void ApplyMode();

    QSize source_;
    InsertPictureChoice choice_;
    QButtonGroup* modes_ = nullptr;
    QComboBox* fits_ = nullptr;
    QCheckBox* keepProportions_ = nullptr;
    CNumberEdit* width_ = nullptr;
    CNumberEdit* height_ = nullptr;
    QCheckBox* linked_ = nullptr;
};
