#pragma once

#include "CMessageReceiver.h"
#include "CThumbnailWorker.h"
#include "CUsedItemList.h"

#include <QListWidget>

#include <memory>

// The list of the item library: 60×60 thumbnails in an icon view with one
// selection at a time. In a category it shows a folder's item files, which
// a double-click or a drag onto the picture places; in used mode it shows
// the picture's items, newest first, and acts as a second view of them.
//
// Rows come from a thumbnail worker, one by one in list order. Each listing
// starts a new worker and stops the old one (the GUI thread waits at most
// 2000 ms for it); rows of an old worker are recognised by their generation
// and dropped, so a stopped worker never reaches the list.
class CItemThumbnailList : public QListWidget
{
    Q_OBJECT

public:
    static constexpr int kMaxStopWaitMs = 2000;
    static constexpr int kIconSpacingX = 70;
    static constexpr int kIconSpacingY = 10;

    // `textPicture` is the picture shown for text items.
    CItemThumbnailList(CMessageReceiver* mainWindow, QString textPicture,
                       QWidget* parent = nullptr);
    ~CItemThumbnailList() override;

    // Used mode: shows the used-items list.
    void ShowUsedItems();
    // Category mode: shows the item files of the folders, one folder after
    // the other.
    void ListFolders(const QStringList& folders);
    // Category mode with the given item files (search results).
    void ShowItemFiles(const QStringList& paths);

    void PictureOpened(const QString& path);
    void AddUsedItem(const QString& label);
    // A text item at the head of the used items, shown by its name.
    void AddUsedText(const QString& name);
    // The relayed messages: select, delete, move, select all, clear.
    void Receive(const msg::Message& message);

    bool UsedMode() const { return usedMode_; }
    const QStringList& ShownPaths() const { return shownPaths_; }
    const CUsedItemList& UsedItems() const { return usedItems_; }
    // True while rows of the current listing are still to come.
    bool Loading() const { return count() < shownPaths_.size(); }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void StartWorker();
    void StopWorker();
    void AddRow(quint64 generation, ThumbnailRow row);
    void RefreshUsedItems();
    void SelectFromElsewhere(const msg::IndexList& indexes);
    // Selects one row without telling the main window.
    void SelectQuietly(int row);
    void SelectionChanged(const QItemSelection& selected);
    void PlaceSelected(QPoint screenPoint);
    msg::IndexList SelectedDocumentIndexes() const;
    void Send(msg::Message message);
    void SetIconSpacing();

    CMessageReceiver* mainWindow_;
    QString textPicture_;
    QStringList shownPaths_;
    CUsedItemList usedItems_;
    bool usedMode_ = true;
    bool synchronising_ = false;
    bool dragging_ = false;
    QPoint pressPoint_;
    bool pressedOnRow_ = false;
    int pendingSelection_ = -1; // a row selected from elsewhere before it arrived
    quint64 generation_ = 0;
    std::unique_ptr<CThumbnailWorker> worker_;
};
