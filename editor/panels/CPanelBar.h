#pragma once

#include "CMessageReceiver.h"
#include "CPlacementReceiver.h"
#include "CSizingControlBarH.h"

// A panel bar of the editor: a sizing bar whose panel takes the private
// messages the main frame relays to the bar. Panels send their own messages
// to the main window receiver the bar was made with.
class CPanelBar : public CSizingControlBarH, public CMessageReceiver, public CPlacementReceiver
{
    Q_OBJECT

public:
    CPanelBar(const QString& caption, QSize defaultSize, CMessageReceiver* mainWindow,
              QWidget* parent = nullptr);

    // The panel fills the client area; `receiver` (often the panel itself)
    // takes the relayed messages and `placements` what the view placed; both
    // may be null.
    void SetPanel(QWidget* panel, CMessageReceiver* receiver,
                  CPlacementReceiver* placements = nullptr);

    CMessageReceiver* MainWindow() const { return mainWindow_; }

    void Receive(msg::Message message) override;
    void PictureOpened(const QString& path) override;
    void ItemPlaced(const QString& label) override;
    void TextPlaced(const QString& name) override;

private:
    CMessageReceiver* mainWindow_;
    CMessageReceiver* panelReceiver_ = nullptr;
    CPlacementReceiver* placementReceiver_ = nullptr;
};
