#include "CPagePlacement.h"

#include <QPaintDevice>

#include <algorithm>

namespace {

constexpr double kCmPerInch = 2.54;

// Offset of one side of a box inside an area: at the start, centred or at
// the end (0, 1, 2).
double Align(int where, double start, double length, double extent)
{
    return start + (length - extent) * where / 2.0;
}

} // namespace

PrinterPage PrinterPage::Of(const QPaintDevice& device)
{
    // The size in centimetres comes from the pixels and the resolution: the
    // device's whole millimetres would put up to a few tenths of a percent of
    // error into every printed size.
    const QSizeF dpi(device.logicalDpiX(), device.logicalDpiY());
    return {QSize(device.width(), device.height()),
            QSizeF(device.width() / dpi.width() * kCmPerInch,
                   device.height() / dpi.height() * kCmPerInch),
            dpi};
}

CPagePlacement::CPagePlacement(const PrinterPage& page, const PictureMetrics& picture,
                               const PageMargins& margins)
    : page_(page), margins_(margins)
{
    // The sheet is 300 preview pixels along its longer side, so the preview
    // scale follows that side: one preview pixel is then 1 ÷ k cm on paper
    // whichever way the paper lies.
    previewScale_ = kSheetSide / std::max(page.printable.width(), page.printable.height());
    naturalPrinterPixels_ =
        QSizeF(picture.pixels.width() * page.dpi.width() / picture.dpi.width(),
               picture.pixels.height() * page.dpi.height() / picture.dpi.height());
    naturalCm_ =
        QSizeF(naturalPrinterPixels_.width() * page.paperCm.width() / page.printable.width(),
               naturalPrinterPixels_.height() * page.paperCm.height() / page.printable.height());

    const QSizeF natural = naturalPrinterPixels_ * previewScale_;
    const QSizeF area = PrintableArea().size();
    if (natural.width() > area.width() || natural.height() > area.height()) {
        const bool byHeight = natural.height() / natural.width() >= area.height() / area.width();
        const double factor =
            byHeight ? area.height() / natural.height() : area.width() / natural.width();
        size_ = factor * 100;
    }
}

void CPagePlacement::SetSize(double percent)
{
    if (percent > 0) {
        size_ = percent;
    }
}

void CPagePlacement::SetPrintedWidth(double cm)
{
    SetSize(cm * 100 / naturalCm_.width());
}

void CPagePlacement::SetPrintedHeight(double cm)
{
    SetSize(cm * 100 / naturalCm_.height());
}

QSizeF CPagePlacement::SheetCm() const
{
    return orientation_ == kLandscape ? page_.paperCm.transposed() : page_.paperCm;
}

QRectF CPagePlacement::Sheet() const
{
    const QSizeF cm = SheetCm();
    if (cm.height() / cm.width() > 1) {
        const double width = kSheetSide / cm.height() * cm.width();
        return QRectF(kSheetLeft + (kSheetSide - width) / 2, kSheetTop, width, kSheetSide);
    }
    const double height = kSheetSide / cm.width() * cm.height();
    return QRectF(kSheetLeft, kSheetTop + (kSheetSide - height) / 2, kSheetSide, height);
}

double CPagePlacement::PixelsPerCm() const
{
    return Sheet().height() / SheetCm().height();
}

QRectF CPagePlacement::PrintableArea() const
{
    const QRectF sheet = Sheet();
    const double k = PixelsPerCm();
    return QRectF(sheet.x() + k * margins_.left, sheet.y() + k * margins_.top,
                  sheet.width() - k * (margins_.left + margins_.right),
                  sheet.height() - k * (margins_.top + margins_.bottom));
}

QSizeF CPagePlacement::BoxSize() const
{
    return naturalPrinterPixels_ * (size_ / 100 * previewScale_);
}

QRectF CPagePlacement::Box() const
{
    const QRectF area = PrintableArea();
    const QSizeF size = BoxSize();
    return QRectF(Align(position_ % 3, area.x(), area.width(), size.width()),
                  Align(position_ / 3, area.y(), area.height(), size.height()), size.width(),
                  size.height());
}

QSizeF CPagePlacement::PrintedCm() const
{
    return BoxSize() / PixelsPerCm();
}

PagePlacement CPagePlacement::Result() const
{
    const QRectF sheet = Sheet();
    QRectF box = Box().translated(-sheet.topLeft());
    if (orientation_ == kLandscape) {
        // The picture turns a quarter clockwise onto the portrait sheet.
        box = QRectF(sheet.height() - (box.y() + box.height()), box.x(), box.height(), box.width());
    }
    return {orientation_, box, page_.printable.width() / page_.paperCm.width(), previewScale_};
}
