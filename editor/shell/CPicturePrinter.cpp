#include "CPicturePrinter.h"

#include "CBitmap.h"
#include "CItemCanvas.h"
#include "CPageSetupDialog.h"
#include "CPictureItem.h"
#include "CPrompter.h"

#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

const QString CPicturePrinter::kNoPrinter = QStringLiteral("기본 프린터가 설치되어 있지 않습니다.");
const QString CPicturePrinter::kJobName = QStringLiteral("Test");

namespace {

// Every side starts with a margin of 1 cm.
constexpr PageMargins kStartMargins{1.0, 1.0, 1.0, 1.0};

// The preview needs no more pixels than its sheet has.
constexpr int kThumbnailSide = int(CPagePlacement::kSheetSide);

double DotsPerInch(int dotsPerMetre, int unset)
{
    return dotsPerMetre <= 0 || dotsPerMetre == unset ? CPicturePrinter::kDefaultDpi
                                                      : dotsPerMetre * 0.0254;
}

} // namespace

void CPicturePrinter::Print(QWidget* parent, const CItemCanvas& canvas)
{
    const auto* base = dynamic_cast<const CPictureItem*>(canvas.ItemAt(0));
    Print(parent, canvas.Composite(),
          base != nullptr ? ResolutionOf(base->Bitmap()) : QSizeF(kDefaultDpi, kDefaultDpi));
}

void CPicturePrinter::Print(QWidget* parent, const QImage& picture, const QSizeF& dpi)
{
    if (picture.isNull()) {
        return;
    }
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        prompter_.Tell(parent, kNoPrinter);
        return;
    }
    QPrinter printer(info, QPrinter::HighResolution);
    if (!printer.isValid() || printer.width() <= 0 || printer.height() <= 0) {
        prompter_.Tell(parent, kNoPrinter);
        return;
    }
    printer.setDocName(kJobName);
    CPageSetupDialog dialog(PrinterPage::Of(printer), {picture.size(), dpi},
                            picture.scaled(kThumbnailSide, kThumbnailSide, Qt::KeepAspectRatio,
                                           Qt::SmoothTransformation),
                            kStartMargins, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    Draw(printer, picture, dialog.Placement().Result());
}

QSizeF CPicturePrinter::ResolutionOf(const QImage& picture)
{
    // A decoder sets the resolution only when the file names one; otherwise
    // the bitmap keeps the one every new picture gets.
    const QImage unset(1, 1, QImage::Format_RGB32);
    return {DotsPerInch(picture.dotsPerMeterX(), unset.dotsPerMeterX()),
            DotsPerInch(picture.dotsPerMeterY(), unset.dotsPerMeterY())};
}

void CPicturePrinter::Draw(QPrinter& printer, const QImage& picture, const PagePlacement& placement)
{
    CBitmap copy = CBitmap(picture).Copy();
    if (placement.orientation == CPagePlacement::kLandscape) {
        copy.RotateFlip(RotateFlipType::Rotate90FlipNone);
    }
    if (copy.IsNull() || Failed(copy.LastStatus())) {
        return;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        return; // the job could not start: nothing is printed
    }
    // Preview pixels become millimetres, and millimetres printer pixels.
    const double millimetres = placement.MillimetresPerPreviewPixel();
    painter.scale(millimetres * printer.logicalDpiX() / 25.4,
                  millimetres * printer.logicalDpiY() / 25.4);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(placement.box, copy.Image());
    painter.end();
}
