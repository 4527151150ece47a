#pragma once

#include "CItemSearch.h"
#include "CMessageReceiver.h"
#include "CPlacementReceiver.h"

#include <QSet>
#include <QTimer>
#include <QWidget>

class CCategoryTabStrip;
class CItemThumbnailList;
class QFileSystemWatcher;
class QLineEdit;

// The item library: a strip of category tabs over the thumbnail list. Tab 0
// "사용한 아이템" lists the items on the picture; every other tab is one
// subfolder of the installation folder's "items" folder or of the user's own
// items folder (beside an installation the user cannot write to); a
// category both hold shows the files of both. The folders and their
// categories are watched: when the downloader adds or removes a category,
// or files in one, the tabs and the shown list follow, and the current tab
// stays current.
//
// Beside the tabs, the search field "아이템 검색" lists the item files of
// every category whose names hold the words typed, in the list as a
// category shows them; Esc or an empty field shows the tab again, and a
// click on a tab ends the search.
class CItemLibraryPanel : public QWidget, public CMessageReceiver, public CPlacementReceiver
{
    Q_OBJECT

public:
    static constexpr int kStripHeight = 20;
    // A package unpacks many files at once: changes are gathered this long
    // before the folder is read again.
    static constexpr int kRescanDelayMs = 250;
    // The search field's width at most; it takes a third of a narrow panel.
    static constexpr int kSearchWidth = 180;
    // Longer search texts are cut to this many characters.
    static constexpr int kSearchMaxLength = 100;

    // `installFolder` holds "items" and "text.bmp"; `ownItemsFolder`, when
    // given, is the user's own items folder. Messages for the main window go
    // to `mainWindow`.
    CItemLibraryPanel(CMessageReceiver* mainWindow, const QString& installFolder,
                      const QString& ownItemsFolder = QString(), QWidget* parent = nullptr);

    CCategoryTabStrip* TabStrip() const { return strip_; }
    CItemThumbnailList* List() const { return list_; }
    // The items folders whose categories are shown, the installation's first.
    const QStringList& ItemsFolders() const { return itemsFolders_; }
    QLineEdit* SearchField() const { return searchField_; }
    // True while the list shows search results.
    bool Searching() const { return searching_; }

    // Puts the path at the head of the used-items list.
    void AddUsedItem(const QString& path);

    void Receive(msg::Message message) override;
    void PictureOpened(const QString& path) override;
    void ItemPlaced(const QString& label) override;
    void TextPlaced(const QString& name) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SwitchCategory(int tab);
    void SearchChanged(const QString& text);
    // Reads the names of every category's items, unless they are read.
    void BuildSearch();
    // Empties the search field without showing the tab again.
    void EndSearchQuietly();
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
    QLineEdit* searchField_;
    CItemThumbnailList* list_;
    CItemSearch search_; // built at the first search, dropped on every change
    bool searching_ = false;
};
