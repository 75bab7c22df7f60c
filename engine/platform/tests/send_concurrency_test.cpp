// Short sends racing with close and with the cable being unplugged: the send path takes no
// life-cycle lock, so these check the rules that replace it.
#include "platform_fixture.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace cvx::platform::testing {
namespace {

using Clock = std::chrono::steady_clock;

// Sends note-ons to `out` until told to stop or `limit` sends are made, counting the
// results; any result other than the two allowed ones is counted as unexpected.
struct SendLoop {
    SendLoop(HMIDIOUT out, MMRESULT failure, int limit) {
        thread = std::thread([this, out, failure, limit] {
            for (int i = 0; i < limit && !stop.load(); ++i) {
                MMRESULT r = midiOutShortMsg(out, 0x403C90);
                if (r == MMSYSERR_NOERROR) {
                    sent.fetch_add(1);
                } else if (r == failure) {
                    failed.fetch_add(1);
                } else {
                    unexpected.fetch_add(1);
                }
            }
        });
    }
    ~SendLoop() { finish(); }
    void finish() {
        stop.store(true);
        if (thread.joinable()) {
            thread.join();
        }
    }
    // Waits (generously) until the loop has at least `count` results of either kind.
    bool waitFor(int count, std::atomic<int>& counter) {
        auto deadline = Clock::now() + std::chrono::seconds(30);
        while (counter.load() < count && Clock::now() < deadline) {
            std::this_thread::yield();
        }
        return counter.load() >= count;
    }
    std::atomic<bool> stop{false};
    std::atomic<int> sent{0};
    std::atomic<int> failed{0};
    std::atomic<int> unexpected{0};
    std::thread thread;
};

// Bytes waiting in the tap of output `device`, all taken.
size_t drain(UINT device) {
    size_t total = 0;
    for (size_t n = 1; n > 0; total += n) {
        n = takeAll(device).size();
    }
    return total;
}

class SendConcurrency : public PlatformTest {};

TEST_F(SendConcurrency, NoSendLandsAfterCloseReturnsAndLaterSendsAreRefused) {
    HMIDIOUT out = nullptr;
    ASSERT_EQ(midiOutOpen(&out, 0, 0, 0, 0), MMSYSERR_NOERROR);
    size_t taken = 0;
    {
        // Below the tap's 4 MiB, so every sent byte stays countable.
        SendLoop loop(out, MMSYSERR_INVALHANDLE, 1'000'000);
        ASSERT_TRUE(loop.waitFor(2000, loop.sent));
        ASSERT_EQ(midiOutClose(out), MMSYSERR_NOERROR);
        taken = drain(0);
        ASSERT_TRUE(loop.waitFor(100, loop.failed)) << "sends after close must be refused";
        EXPECT_EQ(drain(0), 0u) << "bytes arrived after close returned";
        loop.finish();
        EXPECT_EQ(loop.unexpected.load(), 0);
        EXPECT_EQ(taken, 3u * static_cast<size_t>(loop.sent.load()));
    }
    // The slot's next handle works; the old one stays refused.
    HMIDIOUT again = nullptr;
    ASSERT_EQ(midiOutOpen(&again, 0, 0, 0, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(midiOutShortMsg(out, 0x403C90), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(midiOutShortMsg(again, 0x403C90), MMSYSERR_NOERROR);
    EXPECT_EQ(takeAll(0), (std::vector<uint8_t>{0x90, 0x3C, 0x40}));
    midiOutClose(again);
}

TEST_F(SendConcurrency, UnpluggingACableWhileSendingKillsTheHandleAndSparesTheNextCable) {
    HMIDIOUT out = nullptr;
    ASSERT_EQ(midiOutOpen(&out, 1, 0, 0, 0), MMSYSERR_NOERROR);
    {
        SendLoop loop(out, MMSYSERR_NODRIVER, 1'000'000);
        ASSERT_TRUE(loop.waitFor(2000, loop.sent));
        ASSERT_EQ(vmidiRemoveCable("Corvex Loopback 2"), 1);
        ASSERT_TRUE(loop.waitFor(100, loop.failed));
        // A new cable takes the freed place; the old handle must not reach it.
        ASSERT_EQ(vmidiAddCable("Replacement"), 1);
        int failedBefore = loop.failed.load();
        ASSERT_TRUE(loop.waitFor(failedBefore + 100, loop.failed));
        loop.finish();
        EXPECT_EQ(loop.unexpected.load(), 0);
    }
    char name[64];
    ASSERT_EQ(cvxMidiOutGetName(3, name, sizeof name), MMSYSERR_NOERROR);
    ASSERT_STREQ(name, "Replacement");
    HMIDIOUT fresh = nullptr;
    ASSERT_EQ(midiOutOpen(&fresh, 3, 0, 0, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(drain(3), 0u) << "a send on the unplugged cable reached its replacement";
    EXPECT_EQ(midiOutShortMsg(out, 0x403C90), MMSYSERR_NODRIVER);
    EXPECT_EQ(midiOutShortMsg(fresh, 0x423E90), MMSYSERR_NOERROR);
    EXPECT_EQ(takeAll(3), (std::vector<uint8_t>{0x90, 0x3E, 0x42}));
    midiOutClose(fresh);
    midiOutClose(out);
}

} // namespace
} // namespace cvx::platform::testing
