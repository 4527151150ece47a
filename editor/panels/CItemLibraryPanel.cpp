#include "CItemLibraryPanel.h"

#include "CCategoryTabStrip.h"
#include "CItemFolder.h"
#include "CItemThumbnailList.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalBlocker>

#include <algorithm>

namespace {

QStringList ShownItemsFolders(const QString& installFolder, const QString& ownItemsFolder)
{
    QStringList folders;
    if (!installFolder.isEmpty()) {
        folders.append(QDir::cleanPath(QDir(installFolder).filePath(QStringLiteral("items"))));
    }
    const QString own = QDir::cleanPath(ownItemsFolder);
    if (!ownItemsFolder.isEmpty() && !folders.contains(own)) {
        folders.append(own);
    }
    return folders;
}

} // namespace

CItemLibraryPanel::CItemLibraryPanel(CMessageReceiver* mainWindow, const QString& installFolder,
                                     const QString& ownItemsFolder, QWidget* parent)
    : QWidget(parent), itemsFolders_(ShownItemsFolders(installFolder, ownItemsFolder)),
      watcher_(new QFileSystemWatcher(this)), strip_(new CCategoryTabStrip(this)),
      searchField_(new QLineEdit(this)),
      list_(new CItemThumbnailList(mainWindow,
                                   QDir(installFolder).filePath(QStringLiteral("text.bmp")), this))
{
    setObjectName(QStringLiteral("ItemLibraryPanel"));
    setAccessibleName(QStringLiteral("아이템"));
    strip_->setObjectName(QStringLiteral("CategoryTabs"));
    strip_->setAccessibleName(QStringLiteral("아이템 분류"));
    list_->setObjectName(QStringLiteral("ItemList"));
    list_->setAccessibleName(QStringLiteral("아이템 목록"));
    searchField_->setObjectName(QStringLiteral("ItemSearch"));
    searchField_->setAccessibleName(QStringLiteral("아이템 검색"));
    searchField_->setPlaceholderText(QStringLiteral("아이템 검색"));
    searchField_->setClearButtonEnabled(true);
    searchField_->setMaxLength(kSearchMaxLength);
    connect(searchField_, &QLineEdit::textChanged, this, &CItemLibraryPanel::SearchChanged);
    for (QWidget* watched : {static_cast<QWidget*>(strip_), static_cast<QWidget*>(searchField_),
                             static_cast<QWidget*>(list_)}) {
        watched->installEventFilter(this);
    }

    strip_->setFont(font());
    strip_->SetBackgroundColour(Qt::white);
    const QStringList categories = ReadCategories();
    strip_->SetTabs(QStringList{QStringLiteral("사용한 아이템")} + categories);
    strip_->SetMarkedTab(0);
    strip_->SetReceiver(this);
    setTabOrder(strip_, searchField_);
    setTabOrder(searchField_, list_);

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
    // Each folder in its own order; a name the installation has already
    // given is one tab.
    QStringList categories;
    for (const QString& folder : itemsFolders_) {
        for (const QString& category : CItemFolder::Categories(folder)) {
            if (!categories.contains(category)) {
                categories.append(category);
            }
        }
    }
    return categories;
}

QStringList CItemLibraryPanel::CategoryFolders(const QString& category) const
{
    QStringList folders;
    for (const QString& items : itemsFolders_) {
        const QString folder = QDir(items).filePath(category);
        if (QFileInfo(folder).isDir()) {
            folders.append(QDir::cleanPath(folder));
        }
    }
    return folders;
}

void CItemLibraryPanel::WatchFolders(const QStringList& categories)
{
    const QStringList watched = watcher_->directories();
    if (!watched.isEmpty()) {
        watcher_->removePaths(watched);
    }
    // An items folder may appear only with the first download: its parent
    // is watched until then.
    for (const QString& folder : itemsFolders_) {
        const QFileInfo items(folder);
        const QString path = items.isDir() ? folder : items.absolutePath();
        if (QFileInfo(path).isDir()) {
            watcher_->addPath(path);
        }
    }
    for (const QString& category : categories) {
        for (const QString& folder : CategoryFolders(category)) {
            watcher_->addPath(folder);
        }
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
    // The shown category is read again when one of its folders changed, or
    // when it now has a folder more or less (a first download into the
    // user's own folder of a category the installation has).
    const QStringList shown = tab != 0 ? CategoryFolders(current) : QStringList();
    const bool changed = shown != listedFolders_ ||
                         std::any_of(shown.begin(), shown.end(), [this](const QString& folder) {
                             return changedFolders_.contains(folder);
                         });
    changedFolders_.clear();
    search_.Forget();
    if (searching_) {
        SearchChanged(searchField_->text()); // the results follow the folders
    } else if (gone || changed) {
        SwitchCategory(tab);
    }
}

void CItemLibraryPanel::resizeEvent(QResizeEvent*)
{
    const int fieldWidth = std::min(kSearchWidth, width() / 3);
    strip_->setGeometry(0, 0, width() - fieldWidth, kStripHeight);
    searchField_->setGeometry(width() - fieldWidth, 0, fieldWidth, kStripHeight);
    list_->setGeometry(0, kStripHeight + 1, width(), std::max(0, height() - kStripHeight - 1));
}

bool CItemLibraryPanel::eventFilter(QObject* watched, QEvent* event)
{
    // The names are read when the field takes the focus, before the first
    // key, so that key answers as fast as the rest.
    if (watched == searchField_ && event->type() == QEvent::FocusIn) {
        BuildSearch();
    }
    if (!searching_) {
        return QWidget::eventFilter(watched, event);
    }
    // A click on the tab that was shown shows it again; a click on another
    // tab switches to it (kTabChanged).
    if (watched == strip_ && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            strip_->TabAt(mouse->position().toPoint()) == strip_->CurrentTab()) {
            searchField_->clear();
        }
    }
    if (event->type() != QEvent::KeyPress) {
        return QWidget::eventFilter(watched, event);
    }
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Escape) {
        searchField_->clear(); // shows the tab again
        return true;
    }
    // From the field, Down or Enter go on to the results.
    if (watched == searchField_ && list_->count() > 0 &&
        (key == Qt::Key_Down || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        list_->setFocus(Qt::TabFocusReason);
        list_->setCurrentRow(0);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CItemLibraryPanel::SearchChanged(const QString& text)
{
    if (CItemSearch::Folded(text).isEmpty()) {
        if (std::exchange(searching_, false)) {
            SwitchCategory(strip_->CurrentTab());
        }
        return;
    }
    BuildSearch();
    searching_ = true;
    list_->ShowItemFiles(search_.Find(text));
}

void CItemLibraryPanel::BuildSearch()
{
    if (search_.Built()) {
        return;
    }
    QStringList folders;
    for (int tab = 1; tab < strip_->Count(); ++tab) {
        folders += CategoryFolders(strip_->Caption(tab));
    }
    search_.Build(folders);
}

void CItemLibraryPanel::EndSearchQuietly()
{
    const QSignalBlocker quiet(searchField_);
    searchField_->clear();
    searching_ = false;
}

void CItemLibraryPanel::SwitchCategory(int tab)
{
    listedFolders_.clear();
    if (tab == 0) {
        list_->ShowUsedItems();
    } else if (tab > 0 && tab < strip_->Count()) {
        listedFolders_ = CategoryFolders(strip_->Caption(tab));
        list_->ListFolders(listedFolders_);
    }
}

void CItemLibraryPanel::AddUsedItem(const QString& path)
{
    list_->AddUsedItem(path);
}

void CItemLibraryPanel::Receive(msg::Message message)
{
    if (message.id == msg::kTabChanged) {
        EndSearchQuietly();
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
