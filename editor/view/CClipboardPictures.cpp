#include "CClipboardPictures.h"

#include "CItem.h"
#include "CItemCanvas.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>

const QString CClipboardPictures::kLabel = QStringLiteral("클립보드");
const QString CClipboardPictures::kItemFormat = QStringLiteral("application/x-pixvel-item");

void CClipboardPictures::PutPicture(const QImage& picture)
{
    QGuiApplication::clipboard()->setImage(picture.convertToFormat(QImage::Format_RGB32));
}

QImage CClipboardPictures::DrawnItem(const CItem& item)
{
    const QRect bounds = item.DrawnBounds().toAlignedRect();
    if (bounds.isEmpty()) {
        return QImage();
    }
    QImage drawn(bounds.size(), CItemCanvas::kCompatibleFormat);
    if (drawn.isNull()) {
        return drawn;
    }
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    painter.translate(-bounds.topLeft());
    item.Draw(painter);
    return drawn;
}

void CClipboardPictures::PutItem(const CItem& item)
{
    const QImage drawn = DrawnItem(item);
    if (drawn.isNull()) {
        return;
    }
    auto* data = new QMimeData;
    data->setImageData(drawn);
    data->setData(kItemFormat, QByteArray());
    QGuiApplication::clipboard()->setMimeData(data);
}

std::optional<QImage> CClipboardPictures::PictureToPaste(bool itemCopied)
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data == nullptr || !data->hasImage() || (itemCopied && data->hasFormat(kItemFormat))) {
        return std::nullopt;
    }
    QImage picture = qvariant_cast<QImage>(data->imageData());
    if (picture.isNull()) {
        return std::nullopt;
    }
    return picture.convertToFormat(CItemCanvas::kCompatibleFormat);
}

msg::ItemDropRequest CClipboardPictures::CentreDrop(QImage picture)
{
    msg::ItemDropRequest request;
    request.entries.push_back({kLabel, std::move(picture)});
    return request;
}
