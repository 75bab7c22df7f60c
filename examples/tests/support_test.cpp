// The pieces the example programs share: channel lists, device lookup and the loop that
// Ctrl-C ends.
#include "cvx_records.h"
#include "support/channel_list.h"
#include "support/device_lookup.h"
#include "support/notification_loop.h"
#include "virtual_devices.h"

#include <gtest/gtest.h>

#include <csignal>

namespace corvex::examples {
namespace {

[[maybe_unused]] auto* const environment =
    ::testing::AddGlobalTestEnvironment(new testing::VirtualDevicesOnly);

TEST(ChannelList, ListsRangesAndMasksGiveTheirChannels) {
    EXPECT_EQ(parseChannelList("1"), 0x0001);
    EXPECT_EQ(parseChannelList("16"), 0x8000);
    EXPECT_EQ(parseChannelList("1-4,10"), 0x020F);
    EXPECT_EQ(parseChannelList("3,3"), 0x0004);
    EXPECT_EQ(parseChannelList("all"), 0xFFFF);
    EXPECT_EQ(parseChannelList("0x0201"), 0x0201);
    EXPECT_EQ(parseChannelList("0XFFFF"), 0xFFFF);
}

TEST(ChannelList, RefusesWhatNamesNoChannelOrNoValidOne) {
    for (const char* text : {"", "0", "17", "4-2", "1,", ",1", "1-", "-3", " 1", "one", "0x", "0x0",
                             "0x10000", "0x12G", "1;2"}) {
        EXPECT_EQ(parseChannelList(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(DeviceLookup, FindsDevicesByFullNameOrIndexAndNothingElse) {
    auto byName = findInput("Corvex Loopback 2");
    ASSERT_TRUE(byName);
    EXPECT_EQ(byName->index, 1u);
    EXPECT_EQ(byName->backend, "virtual");
    auto byIndex = findOutput("3");
    ASSERT_TRUE(byIndex);
    EXPECT_EQ(byIndex->name, "Corvex Loopback 4");

    EXPECT_FALSE(findInput("Corvex Loopback 9"));
    EXPECT_FALSE(findInput("corvex loopback 1"));
    EXPECT_FALSE(findOutput("99"));
    EXPECT_FALSE(findOutput("1x"));
    EXPECT_FALSE(findOutput(""));

    const std::string listing = deviceListing();
    EXPECT_NE(listing.find("Inputs:\n  0  Corvex Loopback 1  (virtual)\n"), std::string::npos);
    EXPECT_NE(listing.find("Outputs:\n  0  Corvex Loopback 1  (virtual)\n"), std::string::npos);
}

TEST(NotificationLoop, PostsReachTheHandlerAndSigintEndsTheLoopNotTheProcess) {
    NotificationLoop loop;
    ASSERT_TRUE(loop.ready());
    std::vector<uint32_t> seen;
    auto record = [&](const CvxMessage& m) { seen.push_back(m.msg); };

    EXPECT_TRUE(loop.pump(0, record)) << "nothing happened: the loop goes on";
    cvxPostMessage(loop.window(), WM_CVX_TEMPO, 0, 120);
    EXPECT_TRUE(loop.pump(5000, record));
    EXPECT_EQ(seen, std::vector<uint32_t>{WM_CVX_TEMPO});

    std::raise(SIGINT);
    EXPECT_FALSE(loop.pump(5000, record));
    EXPECT_FALSE(loop.pump(0, record)) << "once stopped, the loop stays stopped";
}

} // namespace
} // namespace corvex::examples
