#include "COMRImageEditorDoc.h"

bool COMRImageEditorDoc::OnOpenDocument(const QString& path)
{
    UpdateAllViews(kLoad, path);
    return true;
}

void COMRImageEditorDoc::SetModifiedFlag(bool modified)
{
    modified_ = modified;
    if (modifiedListener_) {
        modifiedListener_(modified);
    }
}

bool COMRImageEditorDoc::OnSaveDocument(const QString& path)
{
    UpdateAllViews(kSave, path);
    return true;
}

void COMRImageEditorDoc::UpdateAllViews(int hint, const QString& path) const
{
    if (viewUpdate_) {
        viewUpdate_(hint, path);
    }
}

void COMRImageEditorDoc::SetPathName(const QString& path, bool addToRecent)
{
    pathName_ = path;
    if (addToRecent && recent_ && !path.isEmpty()) {
        recent_(path);
    }
}

void COMRImageEditorDoc::SetTitle(const QString& title)
{
    title_ = title;
}
