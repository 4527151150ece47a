#include "COMRImageEditorView.h"

#include "CItemCanvas.h"
#include "COMRImageEditorDoc.h"
#include "CPictureItem.h"

void COMRImageEditorView::ShowProject(ProjectContent project)
{
    const auto& base = static_cast<const CPictureItem&>(*project.items.front());
    ShowPicture(base.Bitmap(), base.SourceName());
    CItem& shown = *canvas_.ItemAt(0);
    shown.SetEffects(base.Effects());
    shown.SetLabel(base.Label());
    shown.SetOutline(base.Outline());
    for (size_t index = 1; index < project.items.size(); ++index) {
        CItem* item = canvas_.AddItem(std::move(project.items[index]));
        item->SetScale(float(zoom_));
        placements_.Placed(*item);
    }
    Rerender();
    // The panels placed a row for each item and selected it; the base
    // picture is the selected item, with its effects on the pages.
    Select(0);
    // The items belong to the opened state: the history starts after them.
    StartHistory();
}
