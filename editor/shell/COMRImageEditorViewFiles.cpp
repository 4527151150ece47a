// The file commands of the editing view: New, Open, Save and Save As, the
// document's load and save hints, and the reset of the editor for a new
// picture.
#include "CEditingState.h"
#include "CItemCanvas.h"
#include "CMessageBox.h"
#include "COMRImageEditorDoc.h"
#include "COMRImageEditorView.h"
#include "CPictureItem.h"

#include <QFileInfo>

void COMRImageEditorView::OnUpdate(int hint, const QString& path)
{
    switch (hint) {
    case COMRImageEditorDoc::kLoad:
        LoadPicture(path);
        break;
    case COMRImageEditorDoc::kSave:
        WriteToPath(path);
        break;
    case COMRImageEditorDoc::kNothing:
        break;
    default:
        viewport()->update();
        break;
    }
}

void COMRImageEditorView::OpenDocument(const QString& path)
{
    if (!SaveFirst()) {
        return;
    }
    document_.OnOpenDocument(QFileInfo(path).absoluteFilePath());
}

bool COMRImageEditorView::CanClose()
{
    if (!document_.IsModified()) {
        return true;
    }
    const QString question =
        QStringLiteral("%1 파일의 변경 내용을 저장하시겠습니까?").arg(file_.Name());
    switch (prompter_->Ask(this, question)) {
    case CViewPrompter::kYes:
        return WriteToPath(file_.Path());
    case CViewPrompter::kNo:
        return true;
    default:
        return false;
    }
}

bool COMRImageEditorView::SaveFirst()
{
    return !document_.IsModified() || FileSave();
}

void COMRImageEditorView::FileOpen()
{
    if (!SaveFirst()) {
        return;
    }
    const QString path = prompter_->OpenFileName(this);
    if (path.isEmpty()) {
        return;
    }
    // The full path is kept, so later saves go where the picture came from
    // whatever folder another dialog visits.
    document_.OnOpenDocument(QFileInfo(path).absoluteFilePath());
}

void COMRImageEditorView::LoadPicture(const QString& path)
{
    copied_.reset();
    pastePoint_ = QPoint(-1, -1);
    if (path.isEmpty()) {
        return;
    }
    CBitmap bitmap = prompter_->OpenPicture(this, path);
    if (bitmap.IsNull() || Failed(bitmap.LastStatus())) {
        // The picture on screen, its file and its changes stay as they were.
        viewport()->update();
        return;
    }
    // Only a picture that replaces the one on screen ends the backup of the
    // old one's file.
    settings_.backupOnSave = false;
    file_.SetPath(path);
    document_.SetPathName(path, true);
    ShowTitle(file_.Name());
    document_.SetModifiedFlag(false);
    ResetEditor(std::move(bitmap.Image()), path);
}

void COMRImageEditorView::FileNew()
{
    if (!SaveFirst()) {
        return;
    }
    const std::optional<NewPictureSettings> settings = prompter_->NewPicture(this);
    if (!settings) {
        return;
    }
    QString name = settings->title;
    if (!name.contains('.')) {
        name += QStringLiteral(".jpg");
    }
    QImage bitmap(settings->size, CItemCanvas::kCompatibleFormat);
    if (bitmap.isNull()) {
        return;
    }
    bitmap.fill(QColor(RedOf(settings->background), GreenOf(settings->background),
                       BlueOf(settings->background)));
    document_.SetModifiedFlag(false);
    document_.SetPathName(file_.Path(), true);
    ShowTitle(name);
    file_.SetPathAndName(CPictureFile::DefaultFolder(settings_.recentFiles) + name, name);
    // The copy kept on the first save belongs to a picture handed over on
    // the command line, never to a new one.
    settings_.backupOnSave = false;
    ResetEditor(std::move(bitmap), file_.Path());
}

bool COMRImageEditorView::FileSave()
{
    if (!document_.IsModified()) {
        return true;
    }
    if (settings_.backupOnSave) {
        return WriteToPath(file_.Path());
    }
    const QString& name = file_.Name();
    const QString question =
        QStringLiteral("이미지(%1)가 변경 되었습니다.\r\n\r\n'%2'에 저장하려면 "
                       "'예'를 다른이름으로 저장하려면 \r\n'아니오'를 "
                       "선택하십시오.")
            .arg(name, name);
    switch (prompter_->Ask(this, question)) {
    case CViewPrompter::kYes:
        return WriteToPath(file_.Path());
    case CViewPrompter::kNo:
        return FileSaveAs();
    default:
        return true;
    }
}

bool COMRImageEditorView::FileSaveAs()
{
    const QString path =
        prompter_->SaveFileName(this, file_.Path().isEmpty() ? file_.Name() : file_.Path());
    if (path.isEmpty()) {
        return true;
    }
    file_.SetPath(QFileInfo(path).absoluteFilePath());
    document_.SetPathName(file_.Path(), true);
    ShowTitle(file_.Name());
    settings_.backupOnSave = false;
    return WriteToPath(file_.Path());
}

bool COMRImageEditorView::WriteToPath(const QString& path)
{
    // The composite is opaque (drawn over white): it is written without an
    // alpha channel, as pixvel-tool render writes it.
    const Status status = CPictureFile::Write(
        canvas_.Composite().convertToFormat(QImage::Format_RGB32), path, settings_.backupOnSave);
    if (Failed(status)) {
        // The document stays modified, so nothing is lost. A failed write
        // puts the original file back, so the backup stays armed for the
        // next write to that file.
        CMessageBox::Show(this, QStringLiteral("이미지를 저장할 수 없습니다.\n%1").arg(path));
        return false;
    }
    settings_.backupOnSave = false;
    document_.SetModifiedFlag(false);
    return true;
}

void COMRImageEditorView::ShowTitle(const QString& name)
{
    document_.SetTitle(name);
    window()->setWindowTitle(QStringLiteral("%1 - %2").arg(name, settings_.title));
}

void COMRImageEditorView::ResetEditor(QImage bitmap, const QString& sourceName)
{
    if (canvas_.Count() > 0) {
        Send(msg::Make(msg::kDeleteItems)); // no list: the panels empty theirs
    }
    selected_ = -1;
    nudged_ = false;
    arrowsHeld_.clear();
    tracker_.Deselect();
    tracker_.SetOptions(CTransformTracker::kViewOptions);
    canvas_.Clear();
    present_ = true;
    state_.mode = CEditingState::kSelect;
    state_.tool = CEditingState::kEditItems;
    crop_.Clear();
    band_.reset();
    panning_ = false;
    zoom_ = 1.0;
    canvas_.SetZoom(zoom_);
    pictureSize_ = bitmap.size();
    CPictureItem* base = canvas_.AddPicture(std::move(bitmap), 0, 0, 0, 0, float(zoom_));
    base->SetSourceName(sourceName);
    // The old current item went with the canvas; the panels may read the
    // current item as soon as the messages below reach them.
    state_.currentItem = base;
    Relayout(true);
    Rerender();
    Send(msg::WithIndexes(msg::kSelectItems, msg::kFromView, {0}));
    Send(msg::Make(msg::kZoom, msg::kZoomToolBarOnly, 100));
    selected_ = 0;
    Send(msg::Make(msg::kRefreshPanels));
    Send(msg::Make(msg::kZoom, msg::kZoomToolBarOnly, long(zoom_ * 100)));
}
