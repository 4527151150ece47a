#include "COraExporter.h"

#include "CItemCanvas.h"
#include "CPictureItem.h"
#include "CPngBatch.h"
#include "CTextItem.h"
#include "CZipWriter.h"

#include <QFileInfo>
#include <QPainter>
#include <QSaveFile>
#include <QXmlStreamWriter>

#include <stdexcept>

namespace {

constexpr int kMaxNameLength = 40;

QSize PictureSize(const ProjectContent& content)
{
    return QSize(int(content.baseSize.width() + 0.5), int(content.baseSize.height() + 0.5));
}

// One item alone on a transparent picture of the full size.
QImage Layer(const CItem& item, QSize size)
{
    QImage layer(size, QImage::Format_ARGB32_Premultiplied);
    if (layer.isNull()) {
        return layer;
    }
    layer.fill(Qt::transparent);
    QPainter painter(&layer);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    item.Draw(painter);
    return layer;
}

// The flattened picture, drawn as the editor draws it (over white).
QImage Merged(const ProjectContent& content)
{
    CItemCanvas canvas;
    content.Copy().MoveInto(canvas);
    return canvas.Composite().convertToFormat(QImage::Format_RGB32);
}

QByteArray StackXml(const ProjectContent& content)
{
    const QSize size = PictureSize(content);
    QByteArray xml;
    QXmlStreamWriter writer(&xml);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeStartElement("image");
    writer.writeAttribute("version", "0.0.5");
    writer.writeAttribute("w", QString::number(size.width()));
    writer.writeAttribute("h", QString::number(size.height()));
    writer.writeStartElement("stack");
    // The first layer of a stack is the topmost.
    for (int index = int(content.items.size()) - 1; index >= 0; --index) {
        writer.writeStartElement("layer");
        writer.writeAttribute("name",
                              COraExporter::LayerName(*content.items[size_t(index)], index));
        writer.writeAttribute("src", QStringLiteral("data/layer%1.png").arg(index));
        writer.writeAttribute("x", "0");
        writer.writeAttribute("y", "0");
        writer.writeAttribute("opacity", "1.0");
        writer.writeAttribute("visibility", "visible");
        writer.writeEndElement();
    }
    writer.writeEndElement();
    writer.writeEndElement();
    writer.writeEndDocument();
    return xml;
}

void WriteEntries(CZipWriter& zip, const ProjectContent& content)
{
    const QByteArray mimetype = "image/openraster";
    zip.AddStored("mimetype", mimetype.constData(), size_t(mimetype.size()));
    const QByteArray stack = StackXml(content);
    zip.AddDeflated("stack.xml", stack.constData(), size_t(stack.size()));

    const QSize size = PictureSize(content);
    const size_t layers = content.items.size();
    QImage merged;
    // The layers, then the merged picture and its thumbnail, each made on
    // the worker that encodes it.
    const std::vector<QByteArray> pngs = CPngBatch::EncodeAll(layers + 1, [&](size_t i) {
        if (i < layers) {
            return Layer(*content.items[i], size);
        }
        merged = Merged(content);
        return merged;
    });
    for (const QByteArray& png : pngs) {
        if (png.isEmpty()) {
            throw std::runtime_error("a layer cannot be made (not enough memory)");
        }
    }
    for (size_t i = 0; i < layers; ++i) {
        zip.AddStored(QStringLiteral("data/layer%1.png").arg(i).toStdString(), pngs[i].constData(),
                      size_t(pngs[i].size()));
    }
    // At most 256 pixels a side; a smaller picture is not enlarged.
    const int side = COraExporter::kThumbnailSize;
    const QByteArray thumbnail = CPngBatch::Encode(
        merged.width() <= side && merged.height() <= side
            ? merged
            : merged.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    zip.AddStored("Thumbnails/thumbnail.png", thumbnail.constData(), size_t(thumbnail.size()));
    zip.AddStored("mergedimage.png", pngs[layers].constData(), size_t(pngs[layers].size()));
}

} // namespace

QString COraExporter::LayerName(const CItem& item, int index)
{
    if (index == 0) {
        return QStringLiteral("배경");
    }
    if (const auto* text = dynamic_cast<const CTextItem*>(&item)) {
        return text->Text().section(QLatin1Char('\n'), 0, 0).left(kMaxNameLength);
    }
    const auto* picture = dynamic_cast<const CPictureItem*>(&item);
    const QString name =
        picture != nullptr ? QFileInfo(picture->SourceName()).fileName() : QString();
    return name.isEmpty() ? QStringLiteral("그림 %1").arg(index) : name;
}

bool COraExporter::Export(const ProjectContent& content, const QString& path, QString* error)
{
    QSaveFile file(path);
    const auto fail = [&](const QString& reason) {
        file.cancelWriting();
        if (error != nullptr) {
            *error = reason;
        }
        return false;
    };
    if (content.items.empty()) {
        return fail(QStringLiteral("no picture"));
    }
    if (!file.open(QIODevice::WriteOnly)) {
        return fail(file.errorString());
    }
    try {
        CZipWriter zip([&file](const char* data, size_t size) {
            if (file.write(data, qint64(size)) != qint64(size)) {
                throw std::runtime_error(file.errorString().toStdString());
            }
        });
        WriteEntries(zip, content);
        zip.Finish();
    } catch (const std::exception& failure) {
        return fail(QString::fromStdString(failure.what()));
    }
    return file.commit() || fail(file.errorString());
}
