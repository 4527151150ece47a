#include "Messages.h"

#include <gtest/gtest.h>

TEST(MessagesTest, NumbersAreTheWindowMessageIdentities)
{
    EXPECT_EQ(msg::kContextMenu, 0x466u);
    EXPECT_EQ(msg::kZoom, 0x478u);
    EXPECT_EQ(msg::kPlaceItems, 0x48Cu);
    EXPECT_EQ(msg::kSelectItems, 0x48Du);
    EXPECT_EQ(msg::kDeleteItems, 0x48Eu);
    EXPECT_EQ(msg::kRefreshPanels, 0x48Fu);
    EXPECT_EQ(msg::kEffectsChanged, 0x490u);
    EXPECT_EQ(msg::kMoveItem, 0x491u);
    EXPECT_EQ(msg::kBaseSize, 0x494u);
}

TEST(MessagesTest, SizePacksWidthLowAndHeightHigh)
{
    const long packed = msg::MakeLong(640, 480);
    EXPECT_EQ(packed, 480L * 65536 + 640);
    EXPECT_EQ(msg::LowWord(packed), 640);
    EXPECT_EQ(msg::HighWord(packed), 480);
    // Each half keeps 16 bits: the largest picture side still fits.
    EXPECT_EQ(msg::HighWord(msg::MakeLong(1, 16384)), 16384);
    EXPECT_EQ(msg::LowWord(msg::MakeLong(65535, 1)), 65535);
}

TEST(MessagesTest, RegisteredNamesKeepTheirNumber)
{
    const unsigned logo = msg::RegisterMessage("OnLogoClick");
    EXPECT_GE(logo, 0xC000u);
    EXPECT_EQ(msg::RegisterMessage("OnLogoClick"), logo);
    EXPECT_NE(msg::RegisterMessage("SomethingElse"), logo);
}

TEST(MessagesTest, DropRequestCarriesItsEntryCount)
{
    msg::ItemDropRequest request;
    request.entries = {{"a.png", {}}, {"b.png", {}}};
    const msg::Message message = msg::WithDrop(request);
    EXPECT_EQ(message.id, msg::kPlaceItems);
    EXPECT_EQ(message.wparam, 2);
    ASSERT_TRUE(message.drop.has_value());
    EXPECT_EQ(message.drop->x, -1);
    EXPECT_EQ(message.drop->entries[1].path, "b.png");
}
