#include "CItemThumbnailList.h"

#include "MainWindowCommand.h"

#include "CItemFolder.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

// The commands the list sends to the main window in used mode.
constexpr int kCopyItemCommand = 32848;
constexpr int kPasteItemCommand = 32849;

} // namespace

CItemThumbnailList::CItemThumbnailList(CMessageReceiver* mainWindow, QString textPicture,
                                       QWidget* parent)
    : QListWidget(parent), mainWindow_(mainWindow), textPicture_(std::move(textPicture))
{
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setWrapping(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(false);
    setIconSize(QSize(CThumbnailMaker::kSize, CThumbnailMaker::kSize));
    setUniformItemSizes(true);
    setTextElideMode(Qt::ElideRight);
    setFocusPolicy(Qt::StrongFocus);
    SetIconSpacing();
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) { SelectionChanged(selected); });
}

CItemThumbnailList::~CItemThumbnailList()
{
    StopWorker();
    shownPaths_.clear();
}

void CItemThumbnailList::SetIconSpacing()
{
    // 70 across per icon; 10 between a row's captions and the next icons.
    // Setting the same grid again would lay every row out anew.
    const QSize grid(kIconSpacingX,
                     CThumbnailMaker::kSize + fontMetrics().height() + kIconSpacingY);
    if (gridSize() != grid) {
        setGridSize(grid);
    }
}

// ---- listings

void CItemThumbnailList::ShowUsedItems()
{
    usedMode_ = true;
    shownPaths_ = usedItems_.Entries();
    StartWorker();
}

void CItemThumbnailList::ListFolders(const QStringList& folders)
{
    QStringList paths;
    for (const QString& folder : folders) {
        paths += CItemFolder::ItemFiles(folder);
    }
    ShowItemFiles(paths);
}

void CItemThumbnailList::ShowItemFiles(const QStringList& paths)
{
    usedMode_ = false;
    shownPaths_ = paths;
    StartWorker();
}

void CItemThumbnailList::StopWorker()
{
    ++generation_;   // rows already posted by the old worker are dropped
    worker_.reset(); // asks it to stop and waits at most kMaxStopWaitMs
}

void CItemThumbnailList::StartWorker()
{
    StopWorker();
    clear();
    pendingSelection_ = -1;
    if (shownPaths_.isEmpty()) {
        return;
    }
    const quint64 generation = generation_;
    worker_ = std::make_unique<CThumbnailWorker>(
        shownPaths_, textPicture_, [this, generation](ThumbnailRow row) {
            // On a worker thread: the row travels to the list's own thread.
            QMetaObject::invokeMethod(
                this,
                [this, generation, row = std::move(row)]() mutable {
                    AddRow(generation, std::move(row));
                },
                Qt::QueuedConnection);
        });
    worker_->Start();
}

void CItemThumbnailList::AddRow(quint64 generation, ThumbnailRow row)
{
    if (generation != generation_ || row.index != count()) {
        return;
    }
    SetIconSpacing();
    if (usedMode_) {
        row.name = usedItems_.ShownName(row.index, row.name);
    }
    auto* item = new QListWidgetItem(QIcon(QPixmap::fromImage(row.thumbnail.square)), row.name);
    item->setData(Qt::UserRole, row.path);
    item->setToolTip(row.name);
    addItem(item);
    if (pendingSelection_ == row.index) {
        pendingSelection_ = -1;
        SelectQuietly(row.index);
    }
}

void CItemThumbnailList::SelectQuietly(int row)
{
    const bool was = std::exchange(synchronising_, true);
    clearSelection();
    item(row)->setSelected(true);
    setCurrentRow(row, QItemSelectionModel::NoUpdate);
    scrollToItem(item(row));
    synchronising_ = was;
}

// ---- the used-items list

void CItemThumbnailList::RefreshUsedItems()
{
    if (usedMode_) {
        ShowUsedItems();
    }
}

void CItemThumbnailList::PictureOpened(const QString& path)
{
    usedItems_.StartPicture(path);
    RefreshUsedItems();
}

void CItemThumbnailList::AddUsedItem(const QString& label)
{
    usedItems_.Add(label);
    RefreshUsedItems();
}

void CItemThumbnailList::AddUsedText(const QString& name)
{
    usedItems_.AddText(CItemFolder::kTextItem, name);
    RefreshUsedItems();
}

void CItemThumbnailList::Receive(const msg::Message& message)
{
    switch (message.id) {
    case msg::kSelectItems:
        if (usedMode_) {
            SelectFromElsewhere(message.indexes.value_or(msg::IndexList{}));
        }
        break;
    case msg::kDeleteItems:
        if (message.indexes) {
            usedItems_.Remove(*message.indexes);
        } else {
            usedItems_.Clear();
        }
        RefreshUsedItems();
        break;
    case msg::kMoveItem:
        if (message.indexes && message.indexes->size() == 2 &&
            usedItems_.Move(int((*message.indexes)[0]), int((*message.indexes)[1]))) {
            RefreshUsedItems();
        }
        break;
    case msg::kSelectAllRows:
        clearSelection();
        selectAll(); // one selection at a time: this selects nothing
        break;
    case msg::kDeselectAll:
        clearSelection();
        break;
    default:
        break;
    }
}

void CItemThumbnailList::SelectFromElsewhere(const msg::IndexList& indexes)
{
    synchronising_ = true;
    clearSelection();
    pendingSelection_ = -1;
    for (const uint32_t index : indexes) {
        const qint64 row = qint64(usedItems_.ItemCount()) - qint64(index);
        if (row < 0 || row >= shownPaths_.size()) {
            continue;
        }
        if (row < count()) {
            SelectQuietly(int(row));
        } else {
            pendingSelection_ = int(row); // selected once the row arrives
        }
    }
    synchronising_ = false;
}

void CItemThumbnailList::SelectionChanged(const QItemSelection& selected)
{
    if (!usedMode_ || synchronising_) {
        return;
    }
    for (const QModelIndex& index : selected.indexes()) {
        Send(msg::WithIndexes(msg::kSelectItems, msg::kFromItemLibrary,
                              {uint32_t(usedItems_.DocumentIndexAt(index.row()))}));
    }
}

msg::IndexList CItemThumbnailList::SelectedDocumentIndexes() const
{
    msg::IndexList indexes;
    for (int row = 0; row < count(); ++row) {
        if (item(row)->isSelected()) {
            indexes.push_back(uint32_t(usedItems_.DocumentIndexAt(row)));
        }
    }
    return indexes;
}

void CItemThumbnailList::Send(msg::Message message)
{
    if (mainWindow_ != nullptr) {
        mainWindow_->Receive(std::move(message));
    }
}

// ---- placing

void CItemThumbnailList::PlaceSelected(QPoint screenPoint)
{
    msg::ItemDropRequest request;
    request.x = screenPoint.x();
    request.y = screenPoint.y();
    for (int row = 0; row < count(); ++row) {
        if (item(row)->isSelected()) {
            request.entries.push_back({item(row)->data(Qt::UserRole).toString(), QImage()});
            item(row)->setSelected(false);
        }
    }
    if (!request.entries.empty()) {
        Send(msg::WithDrop(std::move(request)));
    }
}

void CItemThumbnailList::mousePressEvent(QMouseEvent* event)
{
    pressPoint_ = event->position().toPoint();
    pressedOnRow_ = event->button() == Qt::LeftButton && itemAt(pressPoint_) != nullptr;
    QListWidget::mousePressEvent(event);
}

void CItemThumbnailList::mouseMoveEvent(QMouseEvent* event)
{
    // A drag out of a category: the list keeps the mouse until the release,
    // which places the items where it happens.
    if (!usedMode_ && pressedOnRow_ && (event->buttons() & Qt::LeftButton)) {
        if (!dragging_ && (event->position().toPoint() - pressPoint_).manhattanLength() >=
                              QApplication::startDragDistance()) {
            dragging_ = true;
            viewport()->setCursor(Qt::DragCopyCursor);
        }
        if (dragging_) {
            return;
        }
    }
    QListWidget::mouseMoveEvent(event);
}

void CItemThumbnailList::mouseReleaseEvent(QMouseEvent* event)
{
    if (dragging_ && event->button() == Qt::LeftButton) {
        dragging_ = false;
        viewport()->unsetCursor();
        const QPoint point = event->position().toPoint();
        if (!viewport()->rect().contains(point)) {
            PlaceSelected(viewport()->mapToGlobal(point));
        }
    }
    pressedOnRow_ = false;
    QListWidget::mouseReleaseEvent(event);
}

void CItemThumbnailList::mouseDoubleClickEvent(QMouseEvent* event)
{
    QListWidget::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (!usedMode_) {
        PlaceSelected(QPoint(-1, -1));
        return;
    }
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() &&
        item(index.row())->data(Qt::UserRole).toString() == CItemFolder::kTextItem) {
        Send(msg::Make(msg::kEditItem, usedItems_.DocumentIndexAt(index.row()), 0));
    }
}

void CItemThumbnailList::keyPressEvent(QKeyEvent* event)
{
    const bool control = event->modifiers() & Qt::ControlModifier;
    const int key = event->key();
    if (usedMode_ && !selectedItems().isEmpty() &&
        (key == Qt::Key_Delete || (control && key == Qt::Key_D))) {
        Send(msg::WithIndexes(msg::kDeleteItems, msg::kFromItemLibrary, SelectedDocumentIndexes()));
    }
    if (control && key == Qt::Key_A) {
        Receive(msg::Make(msg::kSelectAllRows));
        return;
    }
    if (usedMode_ && control && key == Qt::Key_C) {
        RunMainWindowCommand(this, kCopyItemCommand);
    } else if (usedMode_ && control && key == Qt::Key_V) {
        RunMainWindowCommand(this, kPasteItemCommand);
    }
    QListWidget::keyPressEvent(event);
}

void CItemThumbnailList::contextMenuEvent(QContextMenuEvent* event)
{
    if (usedMode_ && !selectedItems().isEmpty()) {
        Send(msg::WithIndexes(msg::kContextMenu, msg::kFromItemLibrary, SelectedDocumentIndexes()));
    }
    event->accept();
}
