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
// subfolder of the installation folder's "items" folder. The folder and its
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

    // `installFolder` holds "items" and "text.bmp"; messages for the main
    // window go to `mainWindow`.
    CItemLibraryPanel(CMessageReceiver* mainWindow, const QString& installFolder,
                      QWidget* parent = nullptr);

    CCategoryTabStrip* TabStrip() const { return strip_; }
    CItemThumbnailList* List() const { return list_; }
    QString ItemsFolder() const { return itemsFolder_; }

    // Puts the path at the head of the used-items list.
    void AddUsedItem(const QString& path);

    void Receive(msg::Message message) override;
    void PictureOpened(const QString& path) override;
    void ItemPlaced(const QString& label) override;
    void TextPlaced(const QString& name) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void SwitchCategory(int tab);
    QStringList ReadCategories() const;
    void WatchFolders(const QStringList& categories);
    void Rescan();

    QString itemsFolder_;
    bool hasFolder_;
    QFileSystemWatcher* watcher_;
    QTimer rescanTimer_;
    QSet<QString> changedFolders_; // since the last rescan
    CCategoryTabStrip* strip_;
    CItemThumbnailList* list_;
};
