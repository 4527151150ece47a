#pragma once

#include "CBitmap.h"
#include "CItem.h"

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QPointF>
#include <QString>

#include <memory>
#include <vector>

class CPictureItem;

// The picture being edited: an ordered list of items, index 0 the base
// picture, higher indexes on top; the composite rendered from them; the zoom
// and origin of the view. One process-wide instance (Instance()); tests may
// make their own.
class CItemCanvas
{
public:
    enum Side : int
    {
        Above = 0,
        Below = 1,
        Left = 2,
        Right = 3
    };

    // Pixel format of the bitmaps made for the items and of the composite.
    static constexpr QImage::Format kCompatibleFormat = QImage::Format_ARGB32_Premultiplied;

    static CItemCanvas& Instance();

    int Count() const { return int(items_.size()); }
    // Out of range gives none.
    CItem* ItemAt(int index) const;

    // Appends a picture item placed at (x, y, width, height) picture pixels; a
    // width or height of exactly 0 is taken from the bitmap. The first picture
    // of an empty canvas sets the base size.
    CPictureItem* AddPicture(QImage bitmap, double x, double y, double width, double height,
                             float scale);
    // Loads a file and places it centred on a point given in view pixels
    // relative to the picture's top-left; resampled when a size other than the
    // file's is given. None when the file cannot be read (status in `status`).
    CPictureItem* AddPictureFile(const QString& path, double centreX, double centreY,
                                 double width = 0, double height = 0, Status* status = nullptr);
    CPictureItem* AddPictureBitmap(QImage bitmap, double centreX, double centreY, double width,
                                   double height, const QString& name);
    // Appends any item at the top (a text item, a duplicate).
    CItem* AddItem(std::unique_ptr<CItem> item);
    void RemoveAt(int index);
    // Moves an item in the z-order to index `to`. Both indexes must lie in
    // 1..Count() − 1; any other request is ignored, so no item is lost and
    // none goes below the base picture.
    void MoveItem(int from, int to);
    // The topmost item under a view point, or −1.
    int HitTest(double x, double y) const;
    QPainterPath ItemOutlineInView(int index) const;
    void SetItemOutlineFromView(int index, const QPainterPath& path);
    // Moves items first..last (first −1 means 1, last −1 means the last).
    void OffsetItems(double dx, double dy, int first = -1, int last = -1);
    double Zoom() const { return zoom_; }
    void SetZoom(double zoom);
    QPointF Origin() const { return origin_; }
    void SetOrigin(double x, double y) { origin_ = QPointF(x, y); }
    QSizeF BaseSize() const { return baseSize_; }
    // Draws items first..last into the base picture's bitmap and, with
    // `remove`, destroys them.
    void Merge(int first = 1, int last = -1, bool remove = true);
    void Clear();
    // Bakes a picture item's effects into a cut-out of its bitmap.
    CPictureItem* CutItem(int index, int x, int y, int width, int height);
    // Joins a picture to a side of item `index` (the base picture), with a gap
    // filled with `gapColour`.
    bool AppendPicture(int index, const QImage& bitmap, Side side, int gap, const QColor& gapColour,
                       bool merge);
    // The size a base picture becomes when a picture of size
    // `picture` is joined to a base of size `base`: the joined picture keeps its proportions and
    // matches the base's width (above, below) or height (left, right).
    static QSizeF JoinedSize(const QSizeF& base, const QSizeF& picture, Side side, int gap);
    // Turns or mirrors the base picture; the items keep their place on it.
    void TurnPicture(RotateFlipType type);
    // Cuts the base picture to a rectangle; the items keep their place
    // relative to it. False when the rectangle is empty or outside the picture.
    bool CropPicture(const QRect& rect);

    // Rebuilds the composite: white, then every item from the bottom up.
    // With first 0 it is made anew, at the given size when one is given.
    // Items are drawn when first ≤ 0 ≤ last; an empty list leaves it white.
    const QImage& Render(int first, int last, double width = 0, double height = 0);
    // A full rebuild with every item.
    const QImage& Render() { return Render(0, Count() - 1); }
    const QImage& Composite() const { return composite_; }

    // Copies of every item that share their bitmaps (SharedCopy), for the
    // undo history; RestoreItems puts such copies back with the base size.
    std::vector<std::unique_ptr<CItem>> CopyItems() const;
    static std::unique_ptr<CItem> SharedCopy(const CItem& item);
    void RestoreItems(std::vector<std::unique_ptr<CItem>> items, QSizeF baseSize);

private:
    CPictureItem* Base() const;

    std::vector<std::unique_ptr<CItem>> items_;
    QPointF origin_;
    QSizeF baseSize_;
    double zoom_ = 1.0;
    QImage composite_;
};
