#pragma once

#include "CPagePlacement.h"

#include <QDialog>
#include <QImage>

#include <array>
#include <optional>

class CPageSetupPreview;
class QButtonGroup;
class QGridLayout;
class QLineEdit;

// "페이지 설정": where and how large the picture is printed on one sheet of
// the default printer, with a live preview. "인  쇄" accepts the placement
// shown; margins outside the sheet and sizes of 0 or less are refused.
class CPageSetupDialog : public QDialog
{
    Q_OBJECT

public:
    // `thumbnail` is the picture at preview size (it is only shown).
    CPageSetupDialog(const PrinterPage& page, const PictureMetrics& picture, QImage thumbnail,
                     const PageMargins& margins, QWidget* parent = nullptr);

    const CPagePlacement& Placement() const { return placement_; }

    void accept() override;

private:
    enum Side : int
    {
        kLeft,
        kRight,
        kTop,
        kBottom,
    };

    QLineEdit* AddField(QGridLayout* grid, int row, int column, const QString& caption,
                        const char* name);
    QWidget* MakePositionBox();
    QWidget* MakeOrientationBox();
    QWidget* MakeMarginBox();
    QWidget* MakeSizeBox();
    QWidget* MakeButtons();

    void LayoutToggled(int id, bool checked);
    void MarginTyped();
    void SizeTyped();
    void PrintedWidthTyped();
    void PrintedHeightTyped();
    // Shows the size and the printed size, except in the field being typed.
    void ShowSize(const QLineEdit* typing);
    // The margins typed, or none when one of them cannot be taken (the side
    // that fails in `failed`).
    std::optional<PageMargins> TypedMargins(Side* failed = nullptr) const;
    void Refuse(QLineEdit* field, const QString& text);

    CPagePlacement placement_;
    CPageSetupPreview* preview_ = nullptr;
    QButtonGroup* positions_ = nullptr;
    QButtonGroup* orientations_ = nullptr;
    std::array<QLineEdit*, 4> margins_{};
    QLineEdit* size_ = nullptr;
    QLineEdit* printedWidth_ = nullptr;
    QLineEdit* printedHeight_ = nullptr;
};
