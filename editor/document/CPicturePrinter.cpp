#include "CPicturePrinter.h"

#include "CBitmap.h"
#include "CItemCanvas.h"
#include "CPageSetupDialog.h"
#include "CPictureItem.h"
#include "CPrompter.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>

const QString CPicturePrinter::kNoPrinter = QStringLiteral("기본 프린터가 설치되어 있지 않습니다.");
const QString CPicturePrinter::kSavePdf = QStringLiteral("PDF로 저장");
const QString CPicturePrinter::kPdfNotSaved = QStringLiteral("PDF 파일을 저장할 수 없습니다.\n%1");
const QString CPicturePrinter::kJobName = QStringLiteral("Test");

namespace {

// Every side starts with a margin of 1 cm.
constexpr PageMargins kStartMargins{1.0, 1.0, 1.0, 1.0};

// A PDF page has the resolution of a good printer.
constexpr int kPdfDpi = 1200;

// The preview needs no more pixels than its sheet has.
constexpr int kThumbnailSide = int(CPagePlacement::kSheetSide);

double DotsPerInch(int dotsPerMetre, int unset)
{
    return dotsPerMetre <= 0 || dotsPerMetre == unset ? CPicturePrinter::kDefaultDpi
                                                      : dotsPerMetre * 0.0254;
}

} // namespace

void CPicturePrinter::Print(QWidget* parent, const CItemCanvas& canvas, const QString& pdfName)
{
    const auto* base = dynamic_cast<const CPictureItem*>(canvas.ItemAt(0));
    Print(parent, canvas.Composite(),
          base != nullptr ? ResolutionOf(base->Bitmap()) : QSizeF(kDefaultDpi, kDefaultDpi),
          pdfName);
}

void CPicturePrinter::Print(QWidget* parent, const QImage& picture, const QSizeF& dpi,
                            const QString& pdfName)
{
    if (picture.isNull()) {
        return;
    }
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (!info.isNull()) {
        QPrinter printer(info, QPrinter::HighResolution);
        if (printer.isValid() && printer.width() > 0 && printer.height() > 0) {
            printer.setDocName(kJobName);
            if (const std::optional<PagePlacement> placement =
                    Place(parent, printer, picture, dpi)) {
                Draw(printer, picture, *placement);
            }
            return;
        }
    }
    if (prompter_.TellWithChoice(parent, kNoPrinter, kSavePdf)) {
        SavePdf(parent, picture, dpi, pdfName);
    }
}

std::optional<PagePlacement> CPicturePrinter::Place(QWidget* parent, const QPaintDevice& page,
                                                    const QImage& picture, const QSizeF& dpi)
{
    CPageSetupDialog dialog(PrinterPage::Of(page), {picture.size(), dpi},
                            picture.scaled(kThumbnailSide, kThumbnailSide, Qt::KeepAspectRatio,
                                           Qt::SmoothTransformation),
                            kStartMargins, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Placement().Result();
}

void CPicturePrinter::SavePdf(QWidget* parent, const QImage& picture, const QSizeF& dpi,
                              const QString& pdfName)
{
    // An A4 sheet at the printer resolution, all of it printable: the page
    // setup's margins are the only ones.
    QSaveFile file;
    QPdfWriter pdf(&file);
    pdf.setResolution(kPdfDpi);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    const std::optional<PagePlacement> placement = Place(parent, pdf, picture, dpi);
    if (!placement) {
        return;
    }
    const QString path = prompter_.PdfFileName(parent, pdfName);
    if (path.isEmpty()) {
        return;
    }
    // The file replaces an older one only once it is whole.
    file.setFileName(path);
    pdf.setTitle(QFileInfo(path).completeBaseName());
    if (!file.open(QIODevice::WriteOnly) || !Draw(pdf, picture, *placement) || !file.commit()) {
        prompter_.Tell(parent, kPdfNotSaved.arg(QDir::toNativeSeparators(path)));
    }
}

QSizeF CPicturePrinter::ResolutionOf(const QImage& picture)
{
    // A decoder sets the resolution only when the file names one; otherwise
    // the bitmap keeps the one every new picture gets.
    const QImage unset(1, 1, QImage::Format_RGB32);
    return {DotsPerInch(picture.dotsPerMeterX(), unset.dotsPerMeterX()),
            DotsPerInch(picture.dotsPerMeterY(), unset.dotsPerMeterY())};
}

bool CPicturePrinter::Draw(QPaintDevice& page, const QImage& picture,
                           const PagePlacement& placement)
{
    CBitmap copy = CBitmap(picture).Copy();
    if (placement.orientation == CPagePlacement::kLandscape) {
        copy.RotateFlip(RotateFlipType::Rotate90FlipNone);
    }
    if (copy.IsNull() || Failed(copy.LastStatus())) {
        return false;
    }
    QPainter painter;
    if (!painter.begin(&page)) {
        return false; // the job could not start: nothing is printed
    }
    // Preview pixels become millimetres, and millimetres printer pixels.
    const double millimetres = placement.MillimetresPerPreviewPixel();
    painter.scale(millimetres * page.logicalDpiX() / 25.4, millimetres * page.logicalDpiY() / 25.4);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(placement.box, copy.Image());
    return painter.end();
}
