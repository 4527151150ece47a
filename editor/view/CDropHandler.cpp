#include "CDropHandler.h"

#include "CBitmap.h"
#include "CItemCanvas.h"
#include "COpenableFile.h"
#include "CPictureCommands.h"
#include "CProjectReader.h"
#include "CPrompter.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace {

const QString kNoPicture = QStringLiteral("현재 편집할 이미지가 없습니다");
const QString kPictureName = QStringLiteral("그림");

// Takes the drop as a copy (or a link): a move would let the program the
// drag came from delete its file.
bool TakeAsCopy(QDropEvent& event)
{
    const Qt::DropActions possible = event.possibleActions();
    if (!CDropHandler::Accepts(event.mimeData()) ||
        !(possible & (Qt::CopyAction | Qt::LinkAction))) {
        event.ignore();
        return false;
    }
    event.setDropAction(possible & Qt::CopyAction ? Qt::CopyAction : Qt::LinkAction);
    event.accept();
    return true;
}

QStringList LocalFiles(const QMimeData& data)
{
    QStringList files;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile()) {
            files.append(url.toLocalFile());
        }
    }
    return files;
}

} // namespace

CDropHandler::CDropHandler(QWidget* viewport, CPrompter& prompter, Site site)
    : viewport_(viewport), prompter_(prompter), site_(std::move(site))
{
    viewport_->setAcceptDrops(true);
    viewport_->installEventFilter(this);
}

bool CDropHandler::Accepts(const QMimeData* data)
{
    return data != nullptr && (data->hasImage() || !LocalFiles(*data).isEmpty());
}

CDropHandler::Contents CDropHandler::Read(const QMimeData& data)
{
    Contents contents{LocalFiles(data), QImage(), kPictureName};
    if (contents.files.isEmpty()) {
        // A picture from a browser: named after its address when it has one.
        contents.picture = qvariant_cast<QImage>(data.imageData());
        if (!data.urls().isEmpty() && !data.urls().front().fileName().isEmpty()) {
            contents.pictureName = data.urls().front().fileName();
        }
    }
    return contents;
}

bool CDropHandler::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
        TakeAsCopy(*static_cast<QDropEvent*>(event));
        return true;
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!TakeAsCopy(*drop)) {
            return true;
        }
        // Off the view, the centre of the picture shown when the items go
        // down (a dropped file may open one first).
        const std::optional<QPoint> at =
            watched == viewport_ ? std::optional(viewport_->mapToGlobal(drop->position().toPoint()))
                                 : std::nullopt;
        // The dialogs a drop may open run after the drag has ended, so the
        // program the drag came from is not held up by them.
        QTimer::singleShot(0, this,
                           [this, contents = Read(*drop->mimeData()), at] { Drop(contents, at); });
        return true;
    }
    default:
        return false;
    }
}

void CDropHandler::Drop(const Contents& contents, std::optional<QPoint> at)
{
    if (contents.files.isEmpty()) {
        DropPicture(contents, at);
        return;
    }
    int placed = 0;
    for (const QString& path : contents.files) {
        if (!DropFile(path, at, placed)) {
            return;
        }
    }
}

void CDropHandler::DropPicture(const Contents& contents, std::optional<QPoint> at)
{
    if (contents.picture.isNull()) {
        return;
    }
    if (!site_.hasPicture()) {
        prompter_.Tell(viewport_, kNoPicture);
        return;
    }
    int placed = 0;
    Place(contents.pictureName, contents.picture.convertToFormat(CItemCanvas::kCompatibleFormat),
          at, placed);
}

bool CDropHandler::DropFile(const QString& path, std::optional<QPoint> at, int& placed)
{
    if (const std::optional<QString> refusal = COpenableFile::Refusal(path)) {
        prompter_.Tell(viewport_, *refusal);
        return true;
    }
    if (CProjectReader::IsProjectPath(path) || !site_.hasPicture()) {
        // Opened as File Open opens it; the files after it are placed on
        // the picture shown then. Without one (the user cancelled) the drop
        // ends.
        site_.open(path);
        return site_.hasPicture();
    }
    CBitmap bitmap = CBitmap::FromFile(path);
    if (bitmap.IsNull()) {
        prompter_.Tell(viewport_, CPictureCommands::kUnreadable.arg(path));
        return true;
    }
    Place(path, std::move(bitmap.Image()), at, placed);
    return true;
}

void CDropHandler::Place(QString name, QImage picture, std::optional<QPoint> at, int& placed)
{
    const QPoint point = at.value_or(site_.pictureCentre()) + QPoint(placed, placed) * kStep;
    msg::ItemDropRequest request;
    request.x = point.x();
    request.y = point.y();
    request.entries.push_back({std::move(name), std::move(picture)});
    ++placed;
    site_.place(std::move(request));
}
