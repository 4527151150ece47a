#include "CFileCommands.h"

#include "CItemCanvas.h"
#include "COMRImageEditorDoc.h"
#include "COraExporter.h"
#include "CProjectReader.h"
#include "CProjectWriter.h"
#include "CPrompter.h"
#include "CommandIds.h"
#include "FileTypes.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

CFileCommands::CFileCommands(COMRImageEditorDoc& document, AppSettings& settings,
                             CPrompter& prompter, CPictureSurface& surface)
    : document_(document), settings_(settings), prompter_(prompter), surface_(surface)
{
    document_.SetViewUpdate([this](int hint, const QString& path) { OnUpdate(hint, path); });
}

CFileCommands::~CFileCommands()
{
    document_.SetViewUpdate({});
}

bool CFileCommands::Run(int id)
{
    switch (id) {
    case cmd::kFileNew:
        FileNew();
        return true;
    case cmd::kFileOpen:
        FileOpen();
        return true;
    case cmd::kFileSave:
        FileSave();
        return true;
    case cmd::kFileSaveAs:
        FileSaveAs();
        return true;
    case cmd::kFileSaveProject:
        FileSaveProject();
        return true;
    case cmd::kFileExportOra:
        FileExportOra();
        return true;
    default:
        return false;
    }
}

void CFileCommands::OnUpdate(int hint, const QString& path)
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
        surface_.DialogParent()->update();
        break;
    }
}

void CFileCommands::OpenDocument(const QString& path)
{
    if (SaveFirst()) {
        document_.OnOpenDocument(QFileInfo(path).absoluteFilePath());
    }
}

QString CFileCommands::SaveQuestion() const
{
    const QString& name = file_.Name();
    return QStringLiteral("이미지(%1)가 변경 되었습니다.\r\n\r\n'%2'에 저장하려면 "
                          "'예'를 다른이름으로 저장하려면 \r\n'아니오'를 "
                          "선택하십시오.")
        .arg(name, name);
}

bool CFileCommands::SaveFirst()
{
    if (!document_.IsModified()) {
        return true;
    }
    if (settings_.backupOnSave) {
        return SaveToCurrent();
    }
    // Cancel, a cancelled Save As or a failed write keep the picture and its
    // changes; only "저장 안 함" drops them.
    switch (prompter_.AskSaveFirst(surface_.DialogParent(), SaveQuestion())) {
    case CPrompter::kYes:
        return SaveToCurrent();
    case CPrompter::kNo:
        return FileSaveAs();
    case CPrompter::kDiscard:
        return true;
    default:
        return false;
    }
}

void CFileCommands::FileSave()
{
    if (!document_.IsModified()) {
        return;
    }
    if (settings_.backupOnSave) {
        SaveToCurrent();
        return;
    }
    switch (prompter_.Ask(surface_.DialogParent(), SaveQuestion())) {
    case CPrompter::kYes:
        SaveToCurrent();
        break;
    case CPrompter::kNo:
        FileSaveAs();
        break;
    default:
        break;
    }
}

bool CFileCommands::FileSaveAs()
{
    const QString current = file_.Path().isEmpty() ? file_.Name() : file_.Path();
    // A type that is only read is proposed as JPEG, the editor's default.
    const QString proposed =
        FileTypes::IsReadOnly(current) ? ProposedName(QStringLiteral("jpg")) : current;
    return SaveAs(prompter_.SaveFileName(surface_.DialogParent(), proposed));
}

bool CFileCommands::SaveToCurrent()
{
    return FileTypes::IsReadOnly(file_.Path()) ? FileSaveAs() : WriteToPath(file_.Path());
}

QString CFileCommands::ProposedName(const QString& suffix) const
{
    // The picture's own name with the other suffix.
    const QString current = file_.Path().isEmpty() ? file_.Name() : file_.Path();
    const QFileInfo info(current);
    return QDir(info.path()).filePath(info.completeBaseName() + QLatin1Char('.') + suffix);
}

void CFileCommands::FileSaveProject()
{
    const QString current = file_.Path().isEmpty() ? file_.Name() : file_.Path();
    const QString proposed =
        CProjectReader::IsProjectPath(current) ? current : ProposedName(QStringLiteral("pixvel"));
    SaveAs(prompter_.SaveProjectName(surface_.DialogParent(), proposed));
}

void CFileCommands::FileExportOra()
{
    const QString path =
        prompter_.ExportName(surface_.DialogParent(), ProposedName(QStringLiteral("ora")));
    if (path.isEmpty()) {
        return;
    }
    // A copy for other editors: the picture's own file and its changes stay
    // as they are.
    QString error;
    if (!COraExporter::Export(ProjectContent::Snapshot(CItemCanvas::Instance()), path, &error)) {
        prompter_.Tell(
            surface_.DialogParent(),
            QStringLiteral("OpenRaster 파일을 저장할 수 없습니다.\n%1\n%2").arg(path, error));
    }
}

bool CFileCommands::SaveAs(const QString& path)
{
    if (path.isEmpty()) {
        return false;
    }
    file_.SetPath(QFileInfo(path).absoluteFilePath());
    document_.SetPathName(file_.Path(), true);
    ShowTitle(file_.Name());
    settings_.backupOnSave = false;
    return WriteToPath(file_.Path());
}

bool CFileCommands::WriteProject(const QString& path)
{
    QString error;
    if (!CProjectWriter::Save(ProjectContent::Snapshot(CItemCanvas::Instance()), path, &error)) {
        prompter_.Tell(surface_.DialogParent(),
                       QStringLiteral("프로젝트를 저장할 수 없습니다.\n%1\n%2").arg(path, error));
        return false;
    }
    return true;
}

bool CFileCommands::WriteToPath(const QString& path)
{
    if (CProjectReader::IsProjectPath(path)) {
        return WriteProject(path) && Saved();
    }
    // The composite is opaque (drawn over white): it is written without an
    // alpha channel, as pixvel-tool render writes it.
    const Status status = CPictureFile::Write(
        CItemCanvas::Instance().Composite().convertToFormat(QImage::Format_RGB32), path,
        settings_.backupOnSave);
    if (Failed(status)) {
        // The document stays modified, so nothing is lost. A failed write
        // puts the original file back, so the backup stays armed for the
        // next write to that file.
        prompter_.Tell(surface_.DialogParent(),
                       QStringLiteral("이미지를 저장할 수 없습니다.\n%1").arg(path));
        return false;
    }
    return Saved();
}

bool CFileCommands::Saved()
{
    settings_.backupOnSave = false;
    document_.SetModifiedFlag(false);
    surface_.PictureSaved();
    return true;
}

void CFileCommands::FileOpen()
{
    if (!SaveFirst()) {
        return;
    }
    const QString path = prompter_.OpenFileName(surface_.DialogParent());
    if (path.isEmpty()) {
        return;
    }
    // The full path is kept, so later saves go where the picture came from
    // whatever folder another dialog visits.
    document_.OnOpenDocument(QFileInfo(path).absoluteFilePath());
}

void CFileCommands::LoadPicture(const QString& path)
{
    surface_.ForgetCopy();
    if (path.isEmpty()) {
        return;
    }
    if (CProjectReader::IsProjectPath(path)) {
        // Read and checked whole before anything on screen changes.
        std::optional<ProjectContent> project = ReadProject(path);
        if (project) {
            TakeOver(path);
            surface_.ShowProject(std::move(*project));
        }
        return;
    }
    CBitmap bitmap = prompter_.OpenPicture(surface_.DialogParent(), path);
    if (bitmap.IsNull() || Failed(bitmap.LastStatus())) {
        // The picture on screen, its file and its changes stay as they were.
        surface_.DialogParent()->update();
        return;
    }
    TakeOver(path);
    surface_.ShowPicture(std::move(bitmap.Image()), path);
}

void CFileCommands::TakeOver(const QString& path, bool modified)
{
    // Only a picture that replaces the one on screen ends the backup of the
    // old one's file.
    settings_.backupOnSave = false;
    file_.SetPath(path);
    document_.SetPathName(path, true);
    ShowTitle(file_.Name());
    document_.SetModifiedFlag(modified);
}

std::optional<ProjectContent> CFileCommands::ReadProject(const QString& path)
{
    QString error;
    std::optional<ProjectContent> project = CProjectReader::Read(path, &error);
    if (!project) {
        prompter_.Tell(surface_.DialogParent(),
                       QStringLiteral("프로젝트를 열 수 없습니다.\n%1\n%2").arg(path, error));
        surface_.DialogParent()->update();
    }
    return project;
}

bool CFileCommands::OpenRecovered(const QString& recoveryPath)
{
    surface_.ForgetCopy();
    std::optional<ProjectContent> project = ReadProject(recoveryPath);
    if (!project) {
        return false;
    }
    // The work goes back to its own file; work that never had one becomes a
    // project in the default folder.
    const QString path = !project->documentPath.isEmpty()
                             ? project->documentPath
                             : CPictureFile::DefaultFolder(settings_.recentFiles) +
                                   QStringLiteral("제목없음.pixvel");
    // Still unsaved work: the recovery project stays until it is saved.
    TakeOver(path, true);
    surface_.ShowProject(std::move(*project));
    return true;
}

void CFileCommands::FileNew()
{
    if (!SaveFirst()) {
        return;
    }
    const std::optional<NewPictureSettings> settings =
        prompter_.NewPicture(surface_.DialogParent());
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
    // The default folder comes from the recent-file list as it is now.
    file_.SetPathAndName(CPictureFile::DefaultFolder(settings_.recentFiles) + name, name);
    // The copy kept on the first save belongs to a picture handed over on
    // the command line, never to a new one.
    settings_.backupOnSave = false;
    surface_.ShowPicture(std::move(bitmap), file_.Path());
}

void CFileCommands::ShowTitle(const QString& name)
{
    document_.SetTitle(name);
    surface_.DialogParent()->window()->setWindowTitle(
        QStringLiteral("%1 - %2").arg(name, settings_.title));
}
