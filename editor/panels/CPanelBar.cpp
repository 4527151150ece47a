#include "CPanelBar.h"

CPanelBar::CPanelBar(const QString& caption, QSize defaultSize, CMessageReceiver* mainWindow,
                     QWidget* parent)
    : CSizingControlBarH(caption, parent), mainWindow_(mainWindow)
{
    SetDefaultSize(defaultSize);
}

void CPanelBar::SetPanel(QWidget* panel, CMessageReceiver* receiver)
{
    CSizingControlBarH::SetPanel(panel);
    panelReceiver_ = receiver;
}

void CPanelBar::Receive(msg::Message message)
{
    if (panelReceiver_ != nullptr) {
        panelReceiver_->Receive(std::move(message));
    }
}
