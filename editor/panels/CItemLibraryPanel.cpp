#include "CItemLibraryPanel.h"

#include "CCategoryTabStrip.h"
#include "CItemFolder.h"
#include "CItemThumbnailList.h"

#include <QDir>

CItemLibraryPanel::CItemLibraryPanel(CMessageReceiver* mainWindow, const QString& installFolder,
                                     QWidget* parent)
    : QWidget(parent), itemsFolder_(QDir(installFolder).filePath(QStringLiteral("items"))),
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
    strip_->SetTabs(QStringList{QStringLiteral("사용한 아이템")} +
                    CItemFolder::Categories(installFolder.isEmpty() ? QString() : itemsFolder_));
    strip_->SetMarkedTab(0);
    strip_->SetReceiver(this);
    setTabOrder(strip_, list_);
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
