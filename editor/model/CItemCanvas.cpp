#include "CItemCanvas.h"

#include "CEffectPainter.h"
#include "CPictureItem.h"

#include <QPainter>

#include <cmath>

namespace {

// A painter with the high-quality modes the picture is drawn with.
void HighQuality(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
}

// A picture made anew from the base keeps the resolution its file named, so
// it prints at the same size.
void KeepResolution(QImage& made, const QImage& from)
{
    made.setDotsPerMeterX(from.dotsPerMeterX());
    made.setDotsPerMeterY(from.dotsPerMeterY());
}

bool Drawable(const CItem& item)
{
    return item.GetKind() == CItem::Picture || item.GetKind() == CItem::Text;
}

// A picture QPainter can draw on, keeping its pixels.
QImage Paintable(QImage image)
{
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return image;
    default:
        return image.convertToFormat(image.hasAlphaChannel() ? CItemCanvas::kCompatibleFormat
                                                             : QImage::Format_RGB32);
    }
}

} // namespace

CItemCanvas& CItemCanvas::Instance()
{
    static CItemCanvas canvas;
    return canvas;
}

CItem* CItemCanvas::ItemAt(int index) const
{
    return index >= 0 && index < Count() ? items_[index].get() : nullptr;
}

CPictureItem* CItemCanvas::Base() const
{
    return items_.empty() ? nullptr : dynamic_cast<CPictureItem*>(items_.front().get());
}

CItem* CItemCanvas::AddItem(std::unique_ptr<CItem> item)
{
    CItem* added = item.get();
    items_.push_back(std::move(item));
    return added;
}

CPictureItem* CItemCanvas::AddPicture(QImage bitmap, double x, double y, double width,
                                      double height, float scale)
{
    if (width == 0 || height == 0) {
        width = bitmap.width();
        height = bitmap.height();
    }
    auto item = std::make_unique<CPictureItem>();
    item->SetBitmap(std::move(bitmap));
    item->SetRect(QRectF(x, y, width, height));
    item->SetOwner(kCompatibleFormat);
    item->SetScale(scale);
    if (items_.empty()) {
        baseSize_ = QSizeF(width, height);
    }
    return static_cast<CPictureItem*>(AddItem(std::move(item)));
}

CPictureItem* CItemCanvas::AddPictureFile(const QString& path, double centreX, double centreY,
                                          double width, double height, Status* status)
{
    CBitmap bitmap = CBitmap::FromFile(path);
    if (status != nullptr) {
        *status = bitmap.LastStatus();
    }
    if (bitmap.IsNull()) {
        return nullptr;
    }
    return AddPictureBitmap(std::move(bitmap.Image()), centreX, centreY, width, height, path);
}

CPictureItem* CItemCanvas::AddPictureBitmap(QImage bitmap, double centreX, double centreY,
                                            double width, double height, const QString& name)
{
    if (bitmap.isNull()) {
        return nullptr;
    }
    const QSize own = bitmap.size();
    if (width > 0 && height > 0 && QSize(int(width), int(height)) != own) {
        CBitmap resampled(std::move(bitmap));
        if (Failed(resampled.Resample(int(width), int(height), kCompatibleFormat))) {
            return nullptr;
        }
        bitmap = std::move(resampled.Image());
    }
    const double w = bitmap.width();
    const double h = bitmap.height();
    const double x = centreX / zoom_ - w / 2;
    const double y = centreY / zoom_ - h / 2;
    CPictureItem* item = AddPicture(std::move(bitmap), x, y, w, h, float(zoom_));
    item->SetSourceName(name);
    return item;
}

void CItemCanvas::RemoveAt(int index)
{
    if (ItemAt(index) != nullptr) {
        items_.erase(items_.begin() + index);
    }
}

void CItemCanvas::MoveItem(int from, int to)
{
    const auto valid = [this](int index) { return index >= 1 && index < Count(); };
    if (!valid(from) || !valid(to) || from == to) {
        return;
    }
    std::unique_ptr<CItem> item = std::move(items_[from]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(item));
}

int CItemCanvas::HitTest(double x, double y) const
{
    const double px = std::trunc(x - origin_.x() + 0.5);
    const double py = std::trunc(y - origin_.y() + 0.5);
    for (int index = Count() - 1; index >= 0; --index) {
        const CItem& item = *items_[index];
        if (Drawable(item) && item.HitTest(px, py)) {
            return index;
        }
    }
    return -1;
}

QPainterPath CItemCanvas::ItemOutlineInView(int index) const
{
    const CItem* item = ItemAt(index);
    if (item == nullptr) {
        return QPainterPath();
    }
    return (QTransform::fromScale(zoom_, zoom_) *
            QTransform::fromTranslate(origin_.x(), origin_.y()))
        .map(item->Outline());
}

void CItemCanvas::SetItemOutlineFromView(int index, const QPainterPath& path)
{
    if (CItem* item = ItemAt(index)) {
        item->SetOutline((QTransform::fromTranslate(-origin_.x(), -origin_.y()) *
                          QTransform::fromScale(1 / zoom_, 1 / zoom_))
                             .map(path));
    }
}

void CItemCanvas::OffsetItems(double dx, double dy, int first, int last)
{
    first = first == -1 ? 1 : std::max(first, 0);
    last = last == -1 ? Count() - 1 : std::min(last, Count() - 1);
    for (int index = first; index <= last; ++index) {
        items_[index]->TranslateOutline(dx, dy);
    }
}

void CItemCanvas::SetZoom(double zoom)
{
    zoom_ = zoom;
    for (const auto& item : items_) {
        item->SetScale(float(zoom));
    }
}

void CItemCanvas::Merge(int first, int last, bool remove)
{
    CPictureItem* base = Base();
    first = std::max(first, 1);
    last = last == -1 ? Count() - 1 : std::min(last, Count() - 1);
    if (base == nullptr || base->Bitmap().isNull() || first > last) {
        return;
    }
    QImage pixels = Paintable(base->Bitmap());
    base->ReleaseBitmap(); // the painter below then works on pixels held once
    {
        QPainter painter(&pixels);
        HighQuality(painter);
        for (int index = first; index <= last; ++index) {
            if (Drawable(*items_[index])) {
                items_[index]->Draw(painter);
            }
        }
    }
    base->SetBitmap(std::move(pixels));
    if (remove) {
        items_.erase(items_.begin() + first, items_.begin() + last + 1);
    }
}

void CItemCanvas::Clear()
{
    items_.clear();
    composite_ = QImage();
}

std::vector<std::unique_ptr<CItem>> CItemCanvas::CopyItems() const
{
    std::vector<std::unique_ptr<CItem>> copies;
    copies.reserve(items_.size());
    for (const auto& item : items_) {
        copies.push_back(SharedCopy(*item));
    }
    return copies;
}

std::unique_ptr<CItem> CItemCanvas::SharedCopy(const CItem& item)
{
    // A picture item's copy shares its bitmap and the results drawn from it;
    // a text item holds no pixels.
    if (const auto* picture = dynamic_cast<const CPictureItem*>(&item)) {
        return std::make_unique<CPictureItem>(*picture);
    }
    return item.Duplicate();
}

void CItemCanvas::RestoreItems(std::vector<std::unique_ptr<CItem>> items, QSizeF baseSize)
{
    items_ = std::move(items);
    baseSize_ = baseSize;
    for (const auto& item : items_) {
        item->SetScale(float(zoom_));
    }
}

CPictureItem* CItemCanvas::CutItem(int index, int x, int y, int width, int height)
{
    auto* item = dynamic_cast<CPictureItem*>(ItemAt(std::max(index, 0)));
    if (item == nullptr || item->Bitmap().isNull() || width <= 0 || height <= 0) {
        return nullptr;
    }
    const QSize size = item->Bitmap().size();
    QImage drawn(size, QImage::Format_ARGB32_Premultiplied);
    QImage cut(width, height, QImage::Format_ARGB32_Premultiplied);
    if (drawn.isNull() || cut.isNull()) {
        return nullptr;
    }
    drawn.fill(Qt::transparent);
    {
        QPainter painter(&drawn);
        HighQuality(painter);
        const QRectF place(QPointF(0, 0), size);
        CEffectPainter::Draw(painter, item->Bitmap(), item->Effects(),
                             {place.topLeft(), place.topRight(), place.bottomLeft()});
    }
    cut.fill(Qt::transparent);
    {
        QPainter painter(&cut);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QPoint(0, 0), drawn, QRect(x, y, width, height));
    }
    KeepResolution(cut, item->Bitmap());
    item->SetBitmap(std::move(cut));
    item->SetRect(QRectF(0, 0, width, height));
    item->SetEffects(ItemEffects());
    return item;
}

QSizeF CItemCanvas::JoinedSize(const QSizeF& base, const QSizeF& picture, Side side, int gap)
{
    // The new picture keeps its aspect ratio and matches the base's width
    // (above, below) or height (left, right).
    if (side == Above || side == Below) {
        return {base.width(),
                base.height() + gap + picture.height() * base.width() / picture.width()};
    }
    return {base.width() + gap + picture.width() * base.height() / picture.height(), base.height()};
}

bool CItemCanvas::AppendPicture(int index, const QImage& bitmap, Side side, int gap,
                                const QColor& gapColour, bool merge)
{
    auto* item = dynamic_cast<CPictureItem*>(ItemAt(index));
    if (item == nullptr || item->Bitmap().isNull() || bitmap.isNull()) {
        return false;
    }
    const QSizeF base = item->Outline().boundingRect().size();
    const bool vertical = side == Above || side == Below;
    const QSizeF joined = JoinedSize(base, bitmap.size(), side, gap);
    const QSizeF added = vertical ? QSizeF(base.width(), joined.height() - base.height() - gap)
                                  : QSizeF(joined.width() - base.width() - gap, base.height());
    QImage pixels(joined.toSize(), kCompatibleFormat);
    if (pixels.isNull()) {
        return false;
    }
    pixels.fill(Qt::transparent);
    // Where the base and the new picture go in the joined picture.
    const QPointF baseAt = side == Above  ? QPointF(0, added.height() + gap)
                           : side == Left ? QPointF(added.width() + gap, 0)
                                          : QPointF(0, 0);
    const QRectF addedAt(side == Right   ? QPointF(base.width() + gap, 0)
                         : side == Below ? QPointF(0, base.height() + gap)
                                         : QPointF(0, 0),
                         added);
    const QRectF gapAt =
        vertical ? QRectF(0, side == Above ? added.height() : base.height(), base.width(), gap)
                 : QRectF(side == Left ? added.width() : base.width(), 0, gap, base.height());
    const QPointF offset = baseAt - item->Outline().boundingRect().topLeft();
    {
        QPainter painter(&pixels);
        HighQuality(painter);
        painter.translate(offset);
        item->Draw(painter);
        painter.resetTransform();
        if (gap >= 1) {
            painter.fillRect(gapAt, QColor(gapColour.red(), gapColour.green(), gapColour.blue()));
        }
        painter.drawImage(addedAt, bitmap);
    }
    KeepResolution(pixels, item->Bitmap());
    item->SetBitmap(std::move(pixels));
    item->SetRect(QRectF(QPointF(0, 0), joined));
    item->SetEffects(ItemEffects());
    if (index == 0) {
        baseSize_ = joined;
        if (side == Above || side == Left) {
            OffsetItems(offset.x(), offset.y());
        }
    }
    if (merge) {
        Merge(1, -1, false);
    }
    return true;
}

void CItemCanvas::TurnPicture(RotateFlipType type)
{
    CPictureItem* base = Base();
    if (base == nullptr || base->Bitmap().isNull()) {
        return;
    }
    const double cx = baseSize_.width() / 2;
    const double cy = baseSize_.height() / 2;
    for (int index = 1; index < Count(); ++index) {
        CItem& item = *items_[index];
        switch (type) {
        case RotateFlipType::Rotate90FlipNone:
            item.RotateAboutPoint(90, cx, cy);
            break;
        case RotateFlipType::Rotate180FlipNone:
            item.RotateAboutPoint(180, cx, cy);
            break;
        case RotateFlipType::Rotate270FlipNone:
            item.RotateAboutPoint(270, cx, cy);
            break;
        case RotateFlipType::RotateNoneFlipX:
            item.FlipAboutAxis(true, cx, cy);
            break;
        case RotateFlipType::Rotate180FlipX:
            item.FlipAboutAxis(false, cx, cy);
            break;
        default:
            return;
        }
    }
    CBitmap turned(base->Bitmap());
    base->ReleaseBitmap();
    turned.RotateFlip(type);
    base->SetBitmap(std::move(turned.Image()));
    base->SetRect(QRectF(QPointF(0, 0), base->Size()));
    baseSize_ = base->Size();
}

bool CItemCanvas::CropPicture(const QRect& rect)
{
    CPictureItem* base = Base();
    if (base == nullptr || rect.isEmpty() || !base->Bitmap().rect().contains(rect)) {
        return false;
    }
    QImage cut = base->Bitmap().copy(rect);
    if (cut.isNull()) {
        return false;
    }
    base->SetBitmap(std::move(cut));
    base->SetRect(QRectF(QPointF(0, 0), rect.size()));
    baseSize_ = rect.size();
    OffsetItems(-rect.x(), -rect.y());
    return true;
}

const QImage& CItemCanvas::Render(int first, int last, double width, double height)
{
    if (first == 0 || composite_.isNull()) {
        if (width > 0 || height > 0) {
            baseSize_ = QSizeF(width, height);
        }
        const QSize size(int(baseSize_.width() + 0.5), int(baseSize_.height() + 0.5));
        // The previous composite's memory is drawn over again when nobody
        // else holds it: a new picture of this size costs more than the
        // drawing (its pages are faulted in afresh).
        if (!composite_.isDetached() || composite_.size() != size) {
            composite_ = QImage();
            composite_ = QImage(size, kCompatibleFormat);
        }
        if (composite_.isNull()) {
            return composite_;
        }
    }
    composite_.fill(Qt::white);
    if (first > 0 || last < 0) {
        return composite_;
    }
    QPainter painter(&composite_);
    HighQuality(painter);
    for (const auto& item : items_) {
        if (Drawable(*item)) {
            item->Draw(painter);
        }
    }
    return composite_;
}
