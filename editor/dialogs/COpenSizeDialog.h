#pragma once

#include "CBitmap.h"

#include <QDialog>
#include <QFuture>
#include <QFutureWatcher>
#include <QSize>

class CNumberEdit;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;

// "이미지 크기": the size at which a picture file is loaded, as its own size,
// one of the web or screen sizes (the picture keeps its proportions and fits
// the size), or a typed size. On OK it holds the picture at that size.
class COpenSizeDialog : public QDialog
{
    Q_OBJECT

public:
    enum Choice
    {
        Original = 0,
        Board = 1,
        MiniHomepage = 2,
        Video = 3,
        Phone = 4,
        Other = 5,
        Custom = 6
    };

    explicit COpenSizeDialog(QWidget* parent = nullptr);

    // Checks the picture file and starts decoding it in the background; a
    // file that fails the checks leaves the dialog without a picture and is
    // not to be shown.
    Status SetPath(const QString& path);
    QSize SourceSize() const { return boxes_[0]; }

    // The picture at the chosen size; valid once after the dialog ended with OK.
    // OK ends the dialog once the picture is decoded and sized (off the
    // window's thread); until then the dialog waits, its choices disabled.
    CBitmap TakeResult();
    bool Loading() const { return loading_.isRunning(); }

    // Loads a file and asks for its size. Returns the picture at the chosen
    // size, or no picture when the file could not be read (the user is told)
    // or the dialog was cancelled.
    static CBitmap OpenPicture(QWidget* parent, const QString& path);

    // The size a picture of the given size takes when fitted into a box,
    // keeping its proportions.
    static QSize FitToBox(QSize picture, QSize box);

    void accept() override;
    void reject() override;

private:
    static constexpr int kBoxes = 11;

    void ApplyChoice();
    void WidthTyped();
    void HeightTyped();
    void LinkTicked();
    QSize TargetSize() const;
    void Loaded();
    void SetWaiting(bool waiting);

    QString path_;
    QFuture<CBitmap> decoded_;
    QFutureWatcher<CBitmap> loading_;
    CBitmap result_;
    bool cancelled_ = false;
    std::array<QSize, kBoxes> boxes_;
    QButtonGroup* choices_ = nullptr;
    QLabel* sourceSize_ = nullptr;
    QComboBox* otherSizes_ = nullptr;
    CNumberEdit* width_ = nullptr;
    CNumberEdit* height_ = nullptr;
    QCheckBox* linked_ = nullptr;
};
