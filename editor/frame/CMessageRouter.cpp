#include "CMessageRouter.h"

namespace {

using Party = CMessageRouter::Party;

struct RouteEntry
{
    unsigned id;
    Party to;
    bool (*when)(const msg::Message&);
};

bool Always(const msg::Message&)
{
    return true;
}

// The table. A selection skips its sender; a zoom goes where its target says.
const RouteEntry kRoutes[] = {
    {msg::kZoom, Party::ImageToolBar,
     [](const msg::Message& m) {
         return m.wparam == msg::kZoomToolBarAndView || m.wparam == msg::kZoomToolBarOnly;
     }},
    {msg::kZoom, Party::View,
     [](const msg::Message& m) {
         return m.wparam == msg::kZoomToolBarAndView || m.wparam == msg::kZoomViewOnly;
     }},
    {msg::kPlaceItems, Party::View, Always},
    {msg::kSelectItems, Party::View,
     [](const msg::Message& m) { return m.wparam != msg::kFromView; }},
    {msg::kSelectItems, Party::ImageToolBar,
     [](const msg::Message& m) { return m.wparam != msg::kFromItemsPanel; }},
    {msg::kSelectItems, Party::ItemBar,
     [](const msg::Message& m) { return m.wparam != msg::kFromItemLibrary; }},
    {msg::kDeleteItems, Party::ImageToolBar, Always},
    {msg::kDeleteItems, Party::ItemBar, Always},
    {msg::kDeleteItems, Party::View, Always},
    {msg::kRefreshPanels, Party::ImageToolBar, Always},
    {msg::kEffectsChanged, Party::View, Always},
    {msg::kEffectsPreview, Party::View, Always},
    {msg::kMoveItem, Party::View, Always},
    {msg::kMoveItem, Party::ItemBar, Always},
    {msg::kMoveItem, Party::ImageToolBar, Always},
    {msg::kBaseSize, Party::ImageToolBar, Always},
    {msg::kFitItem, Party::View, Always},
};

} // namespace

void CMessageRouter::SetReceiver(Party party, CMessageReceiver* receiver)
{
    receivers_[static_cast<size_t>(party)] = receiver;
}

std::vector<CMessageRouter::Party> CMessageRouter::Receivers(const msg::Message& message)
{
    std::vector<Party> parties;
    for (const RouteEntry& route : kRoutes) {
        if (route.id == message.id && route.when(message)) {
            parties.push_back(route.to);
        }
    }
    return parties;
}

bool CMessageRouter::Route(const msg::Message& message) const
{
    bool routed = false;
    for (const Party party : Receivers(message)) {
        routed = true;
        if (CMessageReceiver* receiver = receivers_[static_cast<size_t>(party)]) {
            receiver->Receive(message);
        }
    }
    return routed;
}
