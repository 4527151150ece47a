#include "CPanelBar.h"

CPanelBar::CPanelBar(const QString& caption, QSize defaultSize, CMessageReceiver* mainWindow,
                     QWidget* parent)
    : CSizingControlBarH(caption, parent), mainWindow_(mainWindow)
{
    SetDefaultSize(defaultSize);
}

void CPanelBar::SetPanel(QWidget* panel, CMessageReceiver* receiver, CPlacementReceiver* placements)
{
    CSizingControlBarH::SetPanel(panel);
    panelReceiver_ = receiver;
    placementReceiver_ = placements;
}

void CPanelBar::Receive(msg::Message message)
{
    if (panelReceiver_ != nullptr) {
        panelReceiver_->Receive(std::move(message));
    }
}

void CPanelBar::PictureOpened(const QString& path)
{
    if (placementReceiver_ != nullptr) {
        placementReceiver_->PictureOpened(path);
    }
}

void CPanelBar::ItemPlaced(const QString& label)
{
    if (placementReceiver_ != nullptr) {
        placementReceiver_->ItemPlaced(label);
    }
}

void CPanelBar::TextPlaced(const QString& name)
{
    if (placementReceiver_ != nullptr) {
        placementReceiver_->TextPlaced(name);
    }
}
