#pragma once

#include "CToolArguments.h"

#include <QPointF>

class CItem;
class CItemCanvas;
class CTextItem;

// The decorating options of `pixvel-tool render`, applied to a canvas in the
// order given: items and text added, the last added item moved, turned,
// flipped and given effects, the whole picture turned, cropped, appended to
// and merged.
class CItemOptions
{
public:
    explicit CItemOptions(CItemCanvas& canvas);

    // When the next word is one of the options, takes it with its value and
    // applies it; otherwise takes nothing and returns false. Bad values are
    // refused with a CToolError.
    bool TakeOption(CToolArguments& arguments);
    // The item added last, or the base picture when none was added; effect
    // options apply to it.
    CItem& LastItem() const;

private:
    void AddItem(const QString& value);
    void AddText(const QString& value);
    bool TakeTextOption(const QString& option, CToolArguments& arguments);
    // The item added last, which the option needs to be a text.
    CTextItem& LastText(const QString& option) const;
    void TransformLast(const QString& option, CToolArguments& arguments);
    void Turn(const QString& value);
    void Crop(const QString& value, bool merged);
    void Append(const QString& value);

    CItemCanvas& canvas_;
    int last_ = 0;            // index of the item the options apply to
    QPointF textOrigin_;      // top-left of the last text item's layout box
    bool textTurned_ = false; // the last text item was rotated or flipped
};
