#pragma once

#include "CMessageReceiver.h"
#include "CPlacementReceiver.h"

#include <QWidget>

class CCategoryTabStrip;
class CItemThumbnailList;

// The item library: a strip of category tabs over the thumbnail list. Tab 0
// "사용한 아이템" lists the items on the picture; every other tab is one
// subfolder of the installation folder's "items" folder, enumerated once
// when the panel is made.
class CItemLibraryPanel : public QWidget, public CMessageReceiver, public CPlacementReceiver
{
    Q_OBJECT

public:
    static constexpr int kStripHeight = 20;

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

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void SwitchCategory(int tab);

    QString itemsFolder_;
    CCategoryTabStrip* strip_;
    CItemThumbnailList* list_;
};
