// corvex-thru's session on the loopback cables: what passes the channel mask reaches the
// output (SysEx and realtime always), and a cable routed into itself is refused.
#include "corvex-thru/thru_session.h"
#include "virtual_devices.h"
#include "vmidi.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvex::examples {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(ThruSession, RoutesTheChosenChannelsSysExAndRealtimeToTheOutput) {
    NotificationLoop loop;
    ThruSession session(loop.window());
    auto input = findInput("Corvex Loopback 1");
    auto output = findOutput("Corvex Loopback 2");
    ASSERT_TRUE(input && output);
    Bytes discard(4096);
    vmidiTake(output->index, discard.data(), static_cast<unsigned>(discard.size()));
    ASSERT_EQ(session.open(*input, *output, 0x0005), ""); // channels 1 and 3

    const Bytes fed = {0x90, 60, 100, 0x91, 61, 100, 0x92, 62, 100, 0xF8, 0xF0, 0x7D, 1, 2, 0xF7};
    ASSERT_EQ(vmidiFeed(input->index, fed.data(), static_cast<unsigned>(fed.size())), 1);
    const Bytes expected = {0x90, 60, 100, 0x92, 62, 100, 0xF8, 0xF0, 0x7D, 1, 2, 0xF7};
    Bytes sent;
    auto handle = [&](const CvxMessage& m) { session.handle(m); };
    EXPECT_TRUE(testing::pumpUntil(loop, handle, [&] {
        Bytes chunk(64);
        chunk.resize(vmidiTake(output->index, chunk.data(), 64));
        sent.insert(sent.end(), chunk.begin(), chunk.end());
        return sent.size() >= expected.size();
    }));
    EXPECT_EQ(sent, expected);
    EXPECT_TRUE(testing::pumpUntil(loop, handle, [&] { return session.sent() >= 4; }));
    EXPECT_EQ(session.sent(), 4u) << "three short messages and one SysEx block";
}

TEST(ThruSession, ACableRoutedIntoItselfIsRefused) {
    NotificationLoop loop;
    ThruSession session(loop.window());
    auto input = findInput("Corvex Loopback 1");
    auto ownOutput = findOutput("Corvex Loopback 1");
    ASSERT_TRUE(input && ownOutput);
    const std::string error = session.open(*input, *ownOutput, 0xFFFF);
    EXPECT_NE(error.find("loopback cable"), std::string::npos) << error;

    // Only a cable's own two ends make such a loop: other backends' ports of one name are a
    // device's two directions.
    EXPECT_EQ(feedbackLoop({0, "synth:port", "alsa"}, {0, "synth:port", "alsa"}), "");
    EXPECT_EQ(feedbackLoop(*input, *findOutput("Corvex Loopback 2")), "");
}

} // namespace
} // namespace corvex::examples
