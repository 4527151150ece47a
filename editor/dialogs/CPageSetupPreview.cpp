#include "CPageSetupPreview.h"

#include "CPagePlacement.h"

#include <QPainter>

const QColor CPageSetupPreview::kAreaColour(255, 0, 0, 100);

CPageSetupPreview::CPageSetupPreview(const CPagePlacement& placement, QImage thumbnail,
                                     QWidget* parent)
    : QWidget(parent), placement_(placement), thumbnail_(std::move(thumbnail))
{
    setFixedSize(CPagePlacement::kPreviewWidth, CPagePlacement::kPreviewHeight);
    setAccessibleName(QStringLiteral("미리 보기"));
    Refresh();
}

void CPageSetupPreview::Refresh()
{
    const QSizeF printed = placement_.PrintedCm();
    setAccessibleDescription(QStringLiteral("용지 %1 × %2 센치미터, 그림 %3 × %4 센치미터")
                                 .arg(placement_.SheetCm().width(), 0, 'f', 1)
                                 .arg(placement_.SheetCm().height(), 0, 'f', 1)
                                 .arg(printed.width(), 0, 'f', 1)
                                 .arg(printed.height(), 0, 'f', 1));
    update();
}

void CPageSetupPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF sheet = placement_.Sheet();
    painter.fillRect(sheet, Qt::white);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(sheet);
    {
        // What lies beyond the paper is not printed either.
        painter.save();
        painter.setClipRect(sheet);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(placement_.Box(), thumbnail_);
        painter.restore();
    }
    painter.setPen(QPen(kAreaColour, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(placement_.PrintableArea());
}
