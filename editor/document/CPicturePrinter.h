#pragma once

#include "CPagePlacement.h"

#include <QImage>
#include <QSizeF>

#include <optional>

class CItemCanvas;
class CPrompter;
class QPaintDevice;
class QPrinter;
class QWidget;

// The print command: the composite on one page of the default printer, placed
// with the page setup dialog. There is no printer choice and no preview
// beyond the dialog's. Without a printer the picture can be saved as a PDF
// page instead, placed the same way.
class CPicturePrinter
{
public:
    static const QString kNoPrinter;
    static const QString kSavePdf;
    static const QString kPdfNotSaved;
    // The name the print job carries in the printer's queue.
    static const QString kJobName;
    // Resolution of a picture whose file names none.
    static constexpr double kDefaultDpi = 96;

    explicit CPicturePrinter(CPrompter& prompter) : prompter_(prompter) {}

    // Prints the canvas's composite at the resolution of its base picture;
    // `pdfName` is the name proposed should the user save a PDF instead.
    void Print(QWidget* parent, const CItemCanvas& canvas, const QString& pdfName);
    // Without a default printer the user is told so, and may save a PDF.
    void Print(QWidget* parent, const QImage& picture, const QSizeF& dpi, const QString& pdfName);

    // The picture's dots per inch: the file's, kept on the bitmap by its
    // decoder, or 96 when the file had none.
    static QSizeF ResolutionOf(const QImage& picture);
    // Draws the picture onto a page device (a printer or a PDF) as the page
    // setup placed it: turned a quarter clockwise in landscape, one preview
    // pixel being MillimetresPerPreviewPixel() on paper. False when the
    // device could not be drawn on.
    static bool Draw(QPaintDevice& page, const QImage& picture, const PagePlacement& placement);

private:
    // The page setup dialog for a page device; no placement when cancelled.
    static std::optional<PagePlacement> Place(QWidget* parent, const QPaintDevice& page,
                                              const QImage& picture, const QSizeF& dpi);
    void SavePdf(QWidget* parent, const QImage& picture, const QSizeF& dpi, const QString& pdfName);

    CPrompter& prompter_;
};
