#include "ProjectContent.h"

#include "CItemCanvas.h"
#include "CPictureItem.h"
#include "CTextItem.h"

std::unique_ptr<CItem> ProjectContent::SharedCopy(const CItem& item)
{
    if (const auto* picture = dynamic_cast<const CPictureItem*>(&item)) {
        return std::make_unique<CPictureItem>(*picture);
    }
    return item.Duplicate();
}

ProjectContent ProjectContent::Snapshot(const CItemCanvas& canvas)
{
    ProjectContent content;
    content.baseSize = canvas.BaseSize();
    content.items.reserve(size_t(canvas.Count()));
    for (int index = 0; index < canvas.Count(); ++index) {
        content.items.push_back(SharedCopy(*canvas.ItemAt(index)));
    }
    return content;
}

ProjectContent ProjectContent::Copy() const
{
    ProjectContent copy;
    copy.baseSize = baseSize;
    copy.documentPath = documentPath;
    copy.items.reserve(items.size());
    for (const auto& item : items) {
        copy.items.push_back(SharedCopy(*item));
    }
    return copy;
}

void ProjectContent::MoveInto(CItemCanvas& canvas)
{
    canvas.Clear();
    canvas.SetZoom(1.0);
    for (std::unique_ptr<CItem>& item : items) {
        item->SetScale(1.0f);
        canvas.AddItem(std::move(item));
    }
    items.clear();
    canvas.Render(0, canvas.Count() - 1, baseSize.width(), baseSize.height());
}
