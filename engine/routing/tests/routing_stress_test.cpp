// Many messages on four inputs at once, each input routed to an output of its own.
#include "datapath_fixture.h"

#include <atomic>
#include <random>
#include <string>
#include <thread>

namespace {

using cvx::test::Bytes;
using cvx::test::DataPathTest;
using cvx::test::routeFrom;

constexpr int kInputs = 4;
constexpr int kMessagesPerInput = 25000;

// Mixed short messages with full status bytes.
Bytes mixedStream(unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes;
    for (int i = 0; i < kMessagesPerInput; ++i) {
        auto channel = static_cast<uint8_t>(random() % 16);
        auto d1 = static_cast<uint8_t>(random() % 128);
        auto d2 = static_cast<uint8_t>(random() % 128);
        switch (random() % 7) {
        case 0:
            bytes.insert(bytes.end(), {static_cast<uint8_t>(0x90 | channel), d1, d2});
            break;
        case 1:
            bytes.insert(bytes.end(), {static_cast<uint8_t>(0x80 | channel), d1, d2});
            break;
        case 2:
            bytes.insert(bytes.end(), {static_cast<uint8_t>(0xB0 | channel), d1, d2});
            break;
        case 3:
            bytes.insert(bytes.end(), {static_cast<uint8_t>(0xC0 | channel), d1});
            break;
        case 4:
            bytes.insert(bytes.end(), {static_cast<uint8_t>(0xE0 | channel), d1, d2});
            break;
        case 5:
            bytes.push_back(0xF8);
            break;
        default:
            bytes.insert(bytes.end(), {0xF2, d1, d2});
            break;
        }
    }
    return bytes;
}

// The length of the message that starts with `status`.
size_t messageLength(uint8_t status) {
    if (status >= 0xF8) {
        return 1;
    }
    if (status == 0xF2) {
        return 3;
    }
    return (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 2 : 3;
}

// Whether `sent` is made of whole messages of `fed`, in order (some may be missing).
bool isWholeMessagesInOrder(const Bytes& fed, const Bytes& sent) {
    size_t f = 0;
    for (size_t s = 0; s < sent.size();) {
        size_t length = messageLength(sent[s]);
        if (sent[s] < 0x80 || s + length > sent.size()) {
            return false;
        }
        while (f < fed.size() && !std::equal(sent.begin() + static_cast<long>(s),
                                             sent.begin() + static_cast<long>(s + length),
                                             fed.begin() + static_cast<long>(f))) {
            f += messageLength(fed[f]);
        }
        if (f >= fed.size()) {
            return false;
        }
        f += length;
        s += length;
    }
    return true;
}

class RoutingStressTest : public DataPathTest {
protected:
    void SetUp() override {
        DataPathTest::SetUp();
        cvxClockManual(0);
        for (int i = 0; i < kInputs; ++i) {
            ASSERT_EQ(vmidiAddCable(("Stress " + std::to_string(i)).c_str()), 1);
        }
        for (int i = 0; i < kInputs; ++i) {
            openInput(static_cast<uint16_t>(i));
            openOutput(static_cast<uint16_t>(kOutputBase + i), routeFrom({uint32_t(i)}));
            streams[i] = mixedStream(static_cast<unsigned>(i + 1));
        }
    }

    void TearDown() override {
        DataPathTest::TearDown();
        for (int i = 0; i < kInputs; ++i) {
            vmidiRemoveCable(("Stress " + std::to_string(i)).c_str());
        }
    }

    // Feeds every stream from a thread of its own and collects what each output sent.
    void feedAll() {
        std::vector<std::thread> feeders;
        for (int i = 0; i < kInputs; ++i) {
            feeders.emplace_back([this, i] {
                const Bytes& s = streams[i];
                for (size_t at = 0; at < s.size(); at += 3000) {
                    size_t n = std::min<size_t>(3000, s.size() - at);
                    vmidiFeed(static_cast<unsigned>(i), s.data() + at, static_cast<unsigned>(n));
                }
            });
        }
        for (auto& t : feeders) {
            t.join();
        }
        vmidiSettle();
        for (int i = 0; i < kInputs; ++i) {
            sent[i] = take(static_cast<unsigned>(kOutputBase + i));
        }
    }

    static constexpr int kOutputBase = 4; // the added cables
    Bytes streams[kInputs];
    Bytes sent[kInputs];
};

TEST_F(RoutingStressTest, EveryMessageReachesItsOutputInOrder) {
    feedAll();
    for (int i = 0; i < kInputs; ++i) {
        EXPECT_EQ(sent[i].size(), streams[i].size()) << "output " << i;
        EXPECT_TRUE(sent[i] == streams[i]) << "output " << i;
    }
}

TEST_F(RoutingStressTest, ReplacingMapsAndFiltersMeanwhileCorruptsNothing) {
    std::atomic<bool> done{false};
    std::thread changer([&] {
        CFilter open{};
        CFilter closed{};
        closed.filterFlags = CVX_FILTER_DATA | CVX_FILTER_NOTE_ON | CVX_FILTER_PITCH_BEND;
        for (unsigned round = 0; !done.load(); ++round) {
            for (int i = 0; i < kInputs; ++i) {
                CPortMap map = routeFrom({uint32_t(i)}, round % 3 == 0 ? 0x0FFFF : 0x7FFFF);
                m32UpdPortMap(handle, static_cast<uint16_t>(kOutputBase + i), &map);
            }
            m32SendFilter(handle, round % 2 == 0 ? &closed : &open);
            std::this_thread::yield();
        }
    });
    feedAll();
    done.store(true);
    changer.join();
    for (int i = 0; i < kInputs; ++i) {
        EXPECT_TRUE(isWholeMessagesInOrder(streams[i], sent[i])) << "output " << i;
    }
}

// Rewriting a routing record with its own content while messages flow loses none of them:
// the record is copied word by word, so input never has to be held off (and dropped).
TEST_F(RoutingStressTest, ReplacingPortMapsMeanwhileLosesNothing) {
    std::atomic<bool> done{false};
    std::thread changer([&] {
        while (!done.load()) {
            for (int i = 0; i < kInputs; ++i) {
                CPortMap map = routeFrom({uint32_t(i)});
                m32UpdPortMap(handle, static_cast<uint16_t>(kOutputBase + i), &map);
            }
        }
    });
    feedAll();
    done.store(true);
    changer.join();
    for (int i = 0; i < kInputs; ++i) {
        EXPECT_EQ(sent[i].size(), streams[i].size()) << "output " << i;
        EXPECT_TRUE(sent[i] == streams[i]) << "output " << i;
    }
}

} // namespace
