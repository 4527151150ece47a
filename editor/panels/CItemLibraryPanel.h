#pragma once

#include "CMessageReceiver.h"
#include "CPlacementReceiver.h"

#include <QSet>
#include <QTimer>
#include <QWidget>

class CCategoryTabStrip;
class CItemThumbnailList;
class QFileSystemWatcher;

// The item library: a strip of category tabs over the thumbnail list. Tab 0
// "사용한 아이템" lists the items on the picture; every other tab is one
// subfolder of the installation folder's "items" folder or of the user's own
// items folder (beside an installation the user cannot write to); a
// category both hold shows the files of both. The folders and their
// categories are watched: when the downloader adds or removes a category,
// or files in one, the tabs and the shown list follow, and the current tab
// stays current.
class CItemLibraryPanel : public QWidget, public CMessageReceiver, public CPlacementReceiver
{
    Q_OBJECT

public:
    static constexpr int kStripHeight = 20;
    // A package unpacks many files at once: changes are gathered this long
    // before the folder is read again.
    static constexpr int kRescanDelayMs = 250;

    // `installFolder` holds "items" and "text.bmp"; `ownItemsFolder`, when
    // given, is the user's own items folder. Messages for the main window go
    // to `mainWindow`.
    CItemLibraryPanel(CMessageReceiver* mainWindow, const QString& installFolder,
                      const QString& ownItemsFolder = QString(), QWidget* parent = nullptr);

    CCategoryTabStrip* TabStrip() const { return strip_; }
    CItemThumbnailList* List() const { return list_; }
    // The items folders whose categories are shown, the installation's first.
    const QStringList& ItemsFolders() const { return itemsFolders_; }

    // Puts the path at the head of the used-items list.
    void AddUsedItem(const QString& path);

    void Receive(msg::Message message) override;
    void PictureOpened(const QString& path) override;
    void ItemPlaced(const QString& label) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void SwitchCategory(int tab);
    QStringList ReadCategories() const;
    void WatchFolders(const QStringList& categories);
    void Rescan();
    // The category's folder in each items folder that has it.
    QStringList CategoryFolders(const QString& category) const;

    QStringList itemsFolders_;
    QStringList listedFolders_; // of the category shown, when one is
    QFileSystemWatcher* watcher_;
    QTimer rescanTimer_;
    QSet<QString> changedFolders_; // since the last rescan
    CCategoryTabStrip* strip_;
    CItemThumbnailList* list_;
};
