#include "CImageToolBar.h"
#include "CItemBar.h"
#include "FrameTesting.h"

#include <gtest/gtest.h>

namespace {

using Party = CMessageRouter::Party;
using Parties = std::vector<Party>;

constexpr Party kView = Party::View;
constexpr Party kTools = Party::ImageToolBar;
constexpr Party kItems = Party::ItemBar;

Parties To(unsigned id, long wparam = 0)
{
    return CMessageRouter::Receivers(msg::Make(id, wparam));
}

TEST(MessageRoutingTableTest, EachMessageReachesExactlyItsReceivers)
{
    EXPECT_EQ(To(msg::kZoom, msg::kZoomToolBarAndView), (Parties{kTools, kView}));
    EXPECT_EQ(To(msg::kZoom, msg::kZoomToolBarOnly), (Parties{kTools}));
    EXPECT_EQ(To(msg::kZoom, msg::kZoomViewOnly), (Parties{kView}));
    EXPECT_EQ(To(msg::kZoom, 3), Parties{});
    EXPECT_EQ(To(msg::kPlaceItems, 2), (Parties{kView}));
    EXPECT_EQ(To(msg::kDeleteItems), (Parties{kTools, kItems, kView}));
    EXPECT_EQ(To(msg::kRefreshPanels), (Parties{kTools}));
    EXPECT_EQ(To(msg::kEffectsChanged), (Parties{kView}));
    EXPECT_EQ(To(msg::kMoveItem), (Parties{kView, kItems, kTools}));
    EXPECT_EQ(To(msg::kBaseSize, 3), (Parties{kTools}));
    // The frame itself answers the item menu request.
    EXPECT_EQ(To(msg::kContextMenu), Parties{});
}

TEST(MessageRoutingTableTest, SelectionSkipsItsSender)
{
    EXPECT_EQ(To(msg::kSelectItems, msg::kFromView), (Parties{kTools, kItems}));
    EXPECT_EQ(To(msg::kSelectItems, msg::kFromItemLibrary), (Parties{kView, kTools}));
    EXPECT_EQ(To(msg::kSelectItems, msg::kFromItemsPanel), (Parties{kView, kItems}));
}

class MessageRoutingTest : public FrameTest
{
};

TEST_F(MessageRoutingTest, SelectionFromTheItemBarReachesTheViewAndTheToolBarOnly)
{
    // The item library sends through the main window it was given.
    frame_->ItemBar()->MainWindow()->Receive(
        msg::WithIndexes(msg::kSelectItems, msg::kFromItemLibrary, {3}));
    EXPECT_EQ(Delivered(), (std::vector<std::string>{"view", "toolbar"}));
    for (const auto& [name, message] : log_) {
        EXPECT_EQ(message.wparam, msg::kFromItemLibrary);
        EXPECT_EQ(message.indexes, msg::IndexList{3});
    }
}

TEST_F(MessageRoutingTest, EveryReceiverOwnsItsCopy)
{
    // A receiver that empties its list must not empty the next one's.
    class CConsumer : public CMessageReceiver
    {
    public:
        void Receive(msg::Message message) override { message.indexes->clear(); }
    } consumer;
    frame_->ImageToolBar()->SetPanel(new QWidget, &consumer);
    view_->itemCount = 5;
    frame_->Receive(msg::WithIndexes(msg::kDeleteItems, 0, {4, 2}));
    ASSERT_EQ(Delivered(), (std::vector<std::string>{"itembar", "view"}));
    EXPECT_EQ(log_[0].second.indexes, (msg::IndexList{4, 2}));
    EXPECT_EQ(log_[1].second.indexes, (msg::IndexList{4, 2}));
}

TEST_F(MessageRoutingTest, DeleteOfEverythingTravelsWithoutAList)
{
    frame_->Receive(msg::Make(msg::kDeleteItems));
    ASSERT_EQ(log_.size(), 3u);
    for (const auto& [name, message] : log_) {
        EXPECT_FALSE(message.indexes.has_value()) << name;
    }
}

TEST_F(MessageRoutingTest, DropRequestGoesToTheViewUnchanged)
{
    msg::ItemDropRequest request;
    request.x = 40;
    request.y = 50;
    request.entries = {{"/items/cat/star.png", {}}};
    frame_->Receive(msg::WithDrop(request));
    ASSERT_EQ(Delivered(), std::vector<std::string>{"view"});
    const msg::Message& got = log_[0].second;
    EXPECT_EQ(got.wparam, 1);
    ASSERT_TRUE(got.drop.has_value());
    EXPECT_EQ(got.drop->x, 40);
    EXPECT_EQ(got.drop->entries[0].path, "/items/cat/star.png");
}

TEST_F(MessageRoutingTest, BaseSizeReachesOnlyTheToolBar)
{
    frame_->Receive(msg::Make(msg::kBaseSize, 0, msg::MakeLong(320, 240)));
    ASSERT_EQ(Delivered(), std::vector<std::string>{"toolbar"});
    EXPECT_EQ(msg::LowWord(log_[0].second.lparam), 320);
    EXPECT_EQ(msg::HighWord(log_[0].second.lparam), 240);
}

} // namespace
