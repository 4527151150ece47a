#pragma once

#include "CPagePlacement.h"

#include <QImage>
#include <QSizeF>

class CItemCanvas;
class CPrompter;
class QPrinter;
class QWidget;

// The print command: the composite on one page of the default printer, placed
// with the page setup dialog. There is no printer choice and no preview
// beyond the dialog's.
class CPicturePrinter
{
public:
    static const QString kNoPrinter;
    // The name the print job carries in the printer's queue.
    static const QString kJobName;
    // Resolution of a picture whose file names none.
    static constexpr double kDefaultDpi = 96;

    explicit CPicturePrinter(CPrompter& prompter) : prompter_(prompter) {}

    // Prints the canvas's composite at the resolution of its base picture.
    void Print(QWidget* parent, const CItemCanvas& canvas);
    // Without a default printer the user is told so and nothing else happens.
    void Print(QWidget* parent, const QImage& picture, const QSizeF& dpi);

    // The picture's dots per inch: the file's, kept on the bitmap by its
    // decoder, or 96 when the file had none.
    static QSizeF ResolutionOf(const QImage& picture);
    // Draws the picture onto an open printer as the page setup placed it:
    // turned a quarter clockwise in landscape, one preview pixel being
    // MillimetresPerPreviewPixel() on paper.
    static void Draw(QPrinter& printer, const QImage& picture, const PagePlacement& placement);

private:
    CPrompter& prompter_;
};
