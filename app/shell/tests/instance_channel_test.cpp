#include "shell/instance_channel.h"

#include "shell/instance_slots.h"
#include "window_messages.h"

#include <QCoreApplication>
#include <QLocalSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <future>

namespace corvex {
namespace {

class InstanceChannelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "instance_channel_test";
        static char* argv[] = {name, nullptr};
        static QCoreApplication application(argc, argv);
    }

    // Runs `client` on another thread (it blocks) while this thread serves.
    template <typename Client> auto whileServing(Client client) {
        auto result = std::async(std::launch::async, client);
        while (result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return result.get();
    }

    QString folder_ = QString::fromStdString(instanceLockFolder());
};

TEST_F(InstanceChannelTest, AnswersPingAndDeliversHandOffsInOrder) {
    std::optional<InstanceSlot> slot = claimInstanceSlot(folder_.toStdString());
    ASSERT_TRUE(slot);
    std::vector<HandOff> received;
    InstanceServer server([&](const HandOff& handOff) { received.push_back(handOff); });
    ASSERT_TRUE(server.listen(folder_, slot->slot()));

    EXPECT_EQ(whileServing([&] { return findLiveInstance(folder_, 5000); }), slot->slot());

    const HandOff first{FileVerb::Open, "/maps/a b.vxm", FileVerb::None, ""};
    const HandOff second{FileVerb::None, "", FileVerb::Send, "/dumps/c.syx"};
    const HandOffBytes firstBytes = *encodeHandOff(first);
    const HandOffBytes secondBytes = *encodeHandOff(second);
    const auto replies = whileServing([&] {
        const auto firstReply =
            sendInstanceMessage(folder_, slot->slot(), WM_CVX_HANDOFF, &firstBytes, 5000);
        const auto secondReply =
            sendInstanceMessage(folder_, slot->slot(), WM_CVX_HANDOFF, &secondBytes, 5000);
        return std::make_pair(firstReply, secondReply);
    });
    EXPECT_EQ(replies.first, 0);
    EXPECT_EQ(replies.second, 0);
    EXPECT_EQ(received, (std::vector<HandOff>{first, second}));
}

TEST_F(InstanceChannelTest, RefusesDamagedBlocksAndSurvivesBadPeers) {
    std::optional<InstanceSlot> slot = claimInstanceSlot(folder_.toStdString());
    ASSERT_TRUE(slot);
    int delivered = 0;
    InstanceServer server([&](const HandOff&) { ++delivered; });
    ASSERT_TRUE(server.listen(folder_, slot->slot()));

    HandOffBytes damaged{};
    damaged.fill('x'); // verbs out of range, paths without their terminating zero
    EXPECT_EQ(whileServing([&] {
                  return sendInstanceMessage(folder_, slot->slot(), WM_CVX_HANDOFF, &damaged, 5000);
              }),
              -1);

    // A peer that sends half a request and goes away leaves the server working.
    whileServing([&] {
        QLocalSocket socket;
        socket.connectToServer(instanceSocketPath(folder_, slot->slot()));
        socket.waitForConnected(5000);
        socket.write("\x2a\x80", 2);
        socket.flush();
        socket.waitForBytesWritten(1000);
        return 0;
    });
    EXPECT_EQ(whileServing([&] {
                  return sendInstanceMessage(folder_, slot->slot(), WM_CVX_PING, nullptr, 5000);
              }),
              1);
    EXPECT_EQ(delivered, 0);
}

TEST_F(InstanceChannelTest, NoLiveInstanceWhenNobodyListens) {
    EXPECT_EQ(findLiveInstance(folder_, 500), std::nullopt);
    std::optional<InstanceSlot> slot = claimInstanceSlot(folder_.toStdString());
    ASSERT_TRUE(slot); // held, but no server: a hung or starting instance is not live
    EXPECT_EQ(findLiveInstance(folder_, 500), std::nullopt);
}

} // namespace
} // namespace corvex
