#pragma once

#include "CPanelBar.h"

class CItemLibraryPanel;

// The bar of the item library: "아이템", 800 × 130, docked at the bottom only.
class CItemBar : public CPanelBar
{
    Q_OBJECT

public:
    static constexpr int kId = 144;

    // The installation folder is the settings value APPS_PATH; an absolute
    // DOWNLOAD_FOLDER is the user's own items folder, shown with it.
    explicit CItemBar(CMessageReceiver* mainWindow, QWidget* parent = nullptr);
    CItemBar(CMessageReceiver* mainWindow, const QString& installFolder, QWidget* parent = nullptr,
             const QString& ownItemsFolder = QString());

    CItemLibraryPanel* Library() const { return panel_; }

private:
    CItemLibraryPanel* panel_;
};
