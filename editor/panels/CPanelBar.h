#pragma once

#include "CMessageReceiver.h"
#include "CSizingControlBarH.h"

// A panel bar of the editor: a sizing bar whose panel takes the private
// messages the main frame relays to the bar. Panels send their own messages
// to the main window receiver the bar was made with.
class CPanelBar : public CSizingControlBarH, public CMessageReceiver
{
    Q_OBJECT

public:
    CPanelBar(const QString& caption, QSize defaultSize, CMessageReceiver* mainWindow,
              QWidget* parent = nullptr);

    // The panel fills the client area; `receiver` (often the panel itself)
    // takes the relayed messages and may be null.
    void SetPanel(QWidget* panel, CMessageReceiver* receiver);

    CMessageReceiver* MainWindow() const { return mainWindow_; }

    void Receive(msg::Message message) override;

private:
    CMessageReceiver* mainWindow_;
    CMessageReceiver* panelReceiver_ = nullptr;
};
