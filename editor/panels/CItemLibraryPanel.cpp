#include "CItemLibraryPanel.h"

#include "CCategoryTabStrip.h"
#include "CItemFolder.h"
#include "CItemThumbnailList.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>

CItemLibraryPanel::CItemLibraryPanel(CMessageReceiver* mainWindow, const QString& installFolder,
                                     QWidget* parent)
    : QWidget(parent), itemsFolder_(QDir(installFolder).filePath(QStringLiteral("items"))),
      hasFolder_(!installFolder.isEmpty()), watcher_(new QFileSystemWatcher(this)),
      strip_(new CCategoryTabStrip(this)),
      list_(new CItemThumbnailList(mainWindow,
                                   QDir(installFolder).filePath(QStringLiteral("text.bmp")), this))
{
    setObjectName(QStringLiteral("ItemLibraryPanel"));
    setAccessibleName(QStringLiteral("아이템"));
    strip_->setObjectName(QStringLiteral("CategoryTabs"));
    strip_->setAccessibleName(QStringLiteral("아이템 분류"));
    list_->setObjectName(QStringLiteral("ItemList"));
    list_->setAccessibleName(QStringLiteral("아이템 목록"));

    strip_->setFont(font());
    strip_->SetBackgroundColour(Qt::white);
    const QStringList categories = ReadCategories();
    strip_->SetTabs(QStringList{QStringLiteral("사용한 아이템")} + categories);
    strip_->SetMarkedTab(0);
    strip_->SetReceiver(this);
    setTabOrder(strip_, list_);

    rescanTimer_.setSingleShot(true);
    rescanTimer_.setInterval(kRescanDelayMs);
    connect(&rescanTimer_, &QTimer::timeout, this, &CItemLibraryPanel::Rescan);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this](const QString& folder) {
        changedFolders_.insert(QDir::cleanPath(folder));
        rescanTimer_.start();
    });
    WatchFolders(categories);
}

QStringList CItemLibraryPanel::ReadCategories() const
{
    return CItemFolder::Categories(hasFolder_ ? itemsFolder_ : QString());
}

void CItemLibraryPanel::WatchFolders(const QStringList& categories)
{
    if (!hasFolder_) {
        return;
    }
    const QStringList watched = watcher_->directories();
    if (!watched.isEmpty()) {
        watcher_->removePaths(watched);
    }
    // The items folder itself may appear only with the first download: its
    // parent, the installation folder, is watched until then.
    const QDir items(itemsFolder_);
    watcher_->addPath(items.exists() ? itemsFolder_ : QFileInfo(itemsFolder_).absolutePath());
    for (const QString& category : categories) {
        watcher_->addPath(items.filePath(category));
    }
}

void CItemLibraryPanel::Rescan()
{
    const QStringList categories = ReadCategories();
    WatchFolders(categories);
    const int before = strip_->CurrentTab();
    const QString current = strip_->Caption(before);
    const QStringList tabs = QStringList{QStringLiteral("사용한 아이템")} + categories;
    QStringList captions;
    for (int index = 0; index < strip_->Count(); ++index) {
        captions.append(strip_->Caption(index));
    }
    if (tabs != captions) {
        strip_->SetTabs(tabs);
        strip_->SetMarkedTab(0);
    }
    // A category that is gone falls back to the used items; the shown
    // category is read again only when its own files changed.
    const int tab = std::max(0, int(tabs.indexOf(current)));
    strip_->SetCurrentTab(tab);
    const bool gone = tab == 0 && before != 0;
    const bool changed =
        tab != 0 && changedFolders_.contains(QDir::cleanPath(QDir(itemsFolder_).filePath(current)));
    changedFolders_.clear();
    if (gone || changed) {
        SwitchCategory(tab);
    }
}

void CItemLibraryPanel::resizeEvent(QResizeEvent*)
{
    strip_->setGeometry(0, 0, width(), kStripHeight);
    list_->setGeometry(0, kStripHeight + 1, width(), std::max(0, height() - kStripHeight - 1));
}

void CItemLibraryPanel::SwitchCategory(int tab)
{
    if (tab == 0) {
        list_->ShowUsedItems();
    } else if (tab > 0 && tab < strip_->Count()) {
        list_->ListFolder(QDir(itemsFolder_).filePath(strip_->Caption(tab)));
    }
}

void CItemLibraryPanel::AddUsedItem(const QString& path)
{
    list_->AddUsedItem(path);
}

void CItemLibraryPanel::Receive(msg::Message message)
{
    if (message.id == msg::kTabChanged) {
        SwitchCategory(int(message.wparam));
    } else {
        list_->Receive(message);
    }
}

void CItemLibraryPanel::PictureOpened(const QString& path)
{
    list_->PictureOpened(path);
}

void CItemLibraryPanel::ItemPlaced(const QString& label)
{
    AddUsedItem(label);
}

void CItemLibraryPanel::TextPlaced(const QString& name)
{
    list_->AddUsedText(name);
}
