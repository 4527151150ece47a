#pragma once

#include <QRectF>
#include <QSize>
#include <QSizeF>

class QPaintDevice;

// The printer's page as its device reports it.
struct PrinterPage
{
    QSize printable; // printable width and height in printer pixels
    QSizeF paperCm;  // width and height of that area in centimetres
    QSizeF dpi;      // printer pixels per inch, across and down

    static PrinterPage Of(const QPaintDevice& device);
};

// The picture to print, as values: its size in pixels and its resolution.
struct PictureMetrics
{
    QSize pixels;
    QSizeF dpi;
};

// Margins in centimetres.
struct PageMargins
{
    double left = 0;
    double right = 0;
    double top = 0;
    double bottom = 0;
};

// Where printing puts the picture: a box in preview pixels relative to the
// portrait sheet's top-left corner (already turned onto it in landscape),
// with the scales that turn preview pixels into paper.
struct PagePlacement
{
    int orientation = 0; // 0 portrait, 1 landscape
    QRectF box;
    double printerPixelsPerCm = 0;
    double previewScale = 0;

    // Millimetres on paper per preview pixel.
    double MillimetresPerPreviewPixel() const { return 10.0 / (printerPixelsPerCm * previewScale); }
};

// The arithmetic of the page setup preview: a sheet 300 pixels along its
// longer side, the printable area inside the margins, the picture's box at
// its size and position, and the printed size in centimetres. Coordinates are
// those of the preview widget.
class CPagePlacement
{
public:
    enum Orientation : int
    {
        kPortrait = 0,
        kLandscape = 1,
    };
    static constexpr int kCentre = 4;
    static constexpr double kSheetSide = 300;
    // The preview widget and the corner of the square the sheet lies in; the
    // sheet is centred in that square along its shorter side.
    static constexpr int kPreviewWidth = 320;
    static constexpr int kPreviewHeight = 315;
    static constexpr double kSheetLeft = 5;
    static constexpr double kSheetTop = 5;

    // Starts in portrait at the centre; a picture that does not fit inside
    // the printable area is shrunk until it touches it.
    CPagePlacement(const PrinterPage& page, const PictureMetrics& picture,
                   const PageMargins& margins);

    int GetOrientation() const { return orientation_; }
    int Position() const { return position_; }
    const PageMargins& Margins() const { return margins_; }
    double Size() const { return size_; }

    void SetOrientation(int orientation) { orientation_ = orientation; }
    // 0..8: column = position mod 3, row = position div 3.
    void SetPosition(int position) { position_ = position; }
    void SetMargins(const PageMargins& margins) { margins_ = margins; }
    // Percent of the natural size; only sizes above 0 are taken.
    void SetSize(double percent);
    void SetPrintedWidth(double cm);
    void SetPrintedHeight(double cm);

    // The sheet in centimetres: the paper, exchanged in landscape.
    QSizeF SheetCm() const;
    QRectF Sheet() const;
    // Preview pixels per centimetre.
    double PixelsPerCm() const;
    QRectF PrintableArea() const;
    // The picture at 100 %, in centimetres.
    QSizeF NaturalCm() const { return naturalCm_; }
    QRectF Box() const;
    QSizeF PrintedCm() const;
    PagePlacement Result() const;

private:
    QSizeF BoxSize() const;

    PrinterPage page_;
    PageMargins margins_;
    int orientation_ = kPortrait;
    int position_ = kCentre;
    double size_ = 100;
    double previewScale_ = 0;
    QSizeF naturalPrinterPixels_;
    QSizeF naturalCm_;
};
