#pragma once

#include "CItem.h"

#include <array>

// A picture on the picture: the base picture, a sticker, a pasted or inserted
// picture. The bitmap is drawn through the item's effects into its outline.
class CPictureItem : public CItem
{
public:
    CPictureItem() : CItem(Picture) {}

    std::unique_ptr<CItem> Duplicate() const override;
    QSizeF Size() const override { return bitmap_.size(); }
    void ReleaseBitmap() override
    {
        bitmap_ = QImage();
        filtered_ = QImage();
        drawn_ = QImage();
    }
    void Draw(QPainter& painter) const override;
    // Inside the outline.
    bool HitTest(double x, double y) const override;

    const QImage& Bitmap() const { return bitmap_; }
    void SetBitmap(QImage bitmap) { bitmap_ = std::move(bitmap); }
    // The bitmap with the item's effects applied, kept until the bitmap or
    // the effects change, so a render redraws unchanged items without
    // filtering them again. The filtered bitmap is kept as well, so a change
    // of colours alone (hue, contrast, ...) does not filter again, and the
    // colours are written into the pixels of the previous result.
    QImage Drawn() const;
    // The bitmap and the results drawn from it, as held in memory.
    std::array<const QImage*, 3> Images() const { return {&bitmap_, &filtered_, &drawn_}; }
    const QString& SourceName() const { return sourceName_; }
    void SetSourceName(const QString& name) { sourceName_ = name; }

private:
    QString sourceName_;
    QImage bitmap_;
    mutable QImage filtered_; // the bitmap itself while no filter is on
    mutable ItemEffects filteredEffects_;
    mutable QImage drawn_;
    mutable ItemEffects drawnEffects_;
    mutable qint64 drawnFrom_ = 0; // cache key of the bitmap both were made from
};
