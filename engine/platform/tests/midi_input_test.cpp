// MIDI input through the service: parsing a loopback cable's byte stream, SysEx into the
// queued buffers, buffer-header rules, time stamps, feedback loops and settling.
#include "platform_fixture.h"

#include <atomic>

namespace cvx::platform::testing {
namespace {

class MidiInput : public PlatformTest {};

TEST_F(MidiInput, RunningStatusAndInterleavedRealtimeArriveAsWholeMessages) {
    Recorder r;
    HMIDIIN in = openStartedInput(0, r);
    // Note On with running status, a clock inside the second note, a program change with
    // running status, then a Song Position that ends the running status.
    feed(0, {0x90, 0x3C, 0x40, 0x3E, 0xF8, 0x50, 0xC1, 0x05, 0x06, 0xF2, 0x01, 0x02, 0x07});
    vmidiSettle();
    EXPECT_EQ(r.shortMessages(),
              (std::vector<DWORD_PTR>{0x403C90, 0xF8, 0x503E90, 0x05C1, 0x06C1, 0x0201F2}));
    auto errors = r.events(MIM_ERROR);
    ASSERT_EQ(errors.size(), 1u); // the stray data byte after the Song Position
    EXPECT_EQ(errors[0].p1, 0x07u);
    EXPECT_EQ(midiInReset(in), MMSYSERR_NOERROR);
    EXPECT_EQ(midiInClose(in), MMSYSERR_NOERROR);
}

TEST_F(MidiInput, MessageCutShortByAStatusByteIsReportedAsAnError) {
    Recorder r;
    HMIDIIN in = openStartedInput(0, r);
    feed(0, {0x90, 0x3C, 0x80, 0x3C, 0x00});
    vmidiSettle();
    auto errors = r.events(MIM_ERROR);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].p1, 0x3C90u);
    EXPECT_EQ(r.shortMessages(), std::vector<DWORD_PTR>{0x003C80});
    midiInClose(in);
}

class SysExInput : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        in = openStartedInput(0, r);
        r.clear(); // MIM_OPEN
    }
    void TearDown() override {
        midiInReset(in);
        for (auto& b : buffers) {
            midiInUnprepareHeader(in, &b->header, sizeof(MIDIHDR));
        }
        EXPECT_EQ(midiInClose(in), MMSYSERR_NOERROR);
        PlatformTest::TearDown();
    }
    MIDIHDR* addBuffer(size_t size) {
        buffers.push_back(std::make_unique<Buffer>(size));
        MIDIHDR* h = &buffers.back()->header;
        EXPECT_EQ(midiInPrepareHeader(in, h, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
        EXPECT_EQ(midiInAddBuffer(in, h, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
        return h;
    }
    std::vector<std::vector<uint8_t>> longData() {
        std::vector<std::vector<uint8_t>> out;
        for (auto& e : r.events(MIM_LONGDATA)) {
            out.push_back(e.data);
        }
        return out;
    }
    Recorder r;
    HMIDIIN in = nullptr;
    std::vector<std::unique_ptr<Buffer>> buffers;
};

TEST_F(SysExInput, RealtimeInsideSysExIsDeliveredAtOnceAndLeftOutOfTheBuffer) {
    MIDIHDR* h = addBuffer(64);
    feed(0, {0xF0, 0x01, 0xF8, 0x02, 0xFE, 0xF7});
    vmidiSettle();
    auto events = r.events();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].msg, static_cast<UINT>(MIM_DATA));
    EXPECT_EQ(events[0].p1, 0xF8u);
    EXPECT_EQ(events[1].p1, 0xFEu);
    EXPECT_EQ(events[2].msg, static_cast<UINT>(MIM_LONGDATA));
    EXPECT_EQ(events[2].p1, reinterpret_cast<DWORD_PTR>(h));
    EXPECT_EQ(events[2].data, (std::vector<uint8_t>{0xF0, 0x01, 0x02, 0xF7}));
    EXPECT_EQ(h->dwFlags & (MHDR_DONE | MHDR_INQUEUE | MHDR_PREPARED), MHDR_DONE | MHDR_PREPARED);
}

TEST_F(SysExInput, LongSysExFillsBuffersInTurnAndTheLastComesBackAtF7) {
    addBuffer(4);
    addBuffer(4);
    MIDIHDR* third = addBuffer(4);
    addBuffer(4);
    feed(0, {0xF0, 1, 2, 3, 4, 5, 6, 7, 8, 0xF7});
    vmidiSettle();
    EXPECT_EQ(longData(),
              (std::vector<std::vector<uint8_t>>{{0xF0, 1, 2, 3}, {4, 5, 6, 7}, {8, 0xF7}}));
    EXPECT_EQ(third->dwBytesRecorded, 2u);
    EXPECT_NE(third->dwFlags & MHDR_DONE, 0u);
}

TEST_F(SysExInput, WithNoBufferQueuedTheBytesAreDroppedAndOtherMessagesStillArrive) {
    feed(0, {0xF0, 1, 2, 3, 0xF7, 0x90, 0x3C, 0x40});
    vmidiSettle();
    EXPECT_TRUE(r.events(MIM_LONGDATA).empty());
    EXPECT_EQ(r.shortMessages(), std::vector<DWORD_PTR>{0x403C90});
    // The rest of a SysEx goes into a buffer that arrives in the middle of it.
    feed(0, {0xF0, 1, 2});
    vmidiSettle();
    addBuffer(16);
    feed(0, {3, 4, 0xF7});
    vmidiSettle();
    EXPECT_EQ(longData(), (std::vector<std::vector<uint8_t>>{{3, 4, 0xF7}}));
}

TEST_F(SysExInput, SysExCutShortByAStatusByteComesBackWithWhatItHad) {
    addBuffer(16);
    feed(0, {0xF0, 0x7E, 0x01, 0x90, 0x3C, 0x40});
    vmidiSettle();
    EXPECT_EQ(longData(), (std::vector<std::vector<uint8_t>>{{0xF0, 0x7E, 0x01}}));
    EXPECT_EQ(r.shortMessages(), std::vector<DWORD_PTR>{0x403C90});
}

TEST_F(SysExInput, ResetReturnsEveryBufferWithZeroBytesBeforeItReturns) {
    MIDIHDR* a = addBuffer(16);
    MIDIHDR* b = addBuffer(16);
    feed(0, {0xF0, 1, 2});
    vmidiSettle();
    EXPECT_EQ(midiInUnprepareHeader(in, a, sizeof(MIDIHDR)), MIDIERR_STILLPLAYING);
    EXPECT_EQ(midiInClose(in), MIDIERR_STILLPLAYING);
    EXPECT_EQ(midiInReset(in), MMSYSERR_NOERROR);
    auto returned = r.events(MIM_LONGDATA);
    ASSERT_EQ(returned.size(), 2u);
    EXPECT_EQ(returned[0].p1, reinterpret_cast<DWORD_PTR>(a));
    EXPECT_EQ(returned[1].p1, reinterpret_cast<DWORD_PTR>(b));
    EXPECT_EQ(a->dwBytesRecorded, 0u);
    EXPECT_EQ(b->dwFlags & (MHDR_DONE | MHDR_INQUEUE), MHDR_DONE);
    EXPECT_EQ(midiInUnprepareHeader(in, a, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(a->dwFlags & MHDR_PREPARED, 0u);
    // A reset input delivers nothing until it is started again.
    feed(0, {0x90, 0x3C, 0x40});
    vmidiSettle();
    EXPECT_TRUE(r.events(MIM_DATA).empty());
}

TEST_F(SysExInput, StopReturnsThePartlyFilledBufferWithItsBytesAndKeepsTheEmptyOnes) {
    addBuffer(16);
    MIDIHDR* second = addBuffer(16);
    feed(0, {0xF0, 1, 2});
    vmidiSettle();
    EXPECT_EQ(midiInStop(in), MMSYSERR_NOERROR);
    EXPECT_EQ(longData(), (std::vector<std::vector<uint8_t>>{{0xF0, 1, 2}}));
    EXPECT_NE(second->dwFlags & MHDR_INQUEUE, 0u);
}

TEST_F(SysExInput, BufferHeaderRules) {
    Buffer b(8);
    EXPECT_EQ(midiInAddBuffer(in, &b.header, sizeof(MIDIHDR)), MIDIERR_UNPREPARED);
    EXPECT_EQ(midiInPrepareHeader(in, &b.header, sizeof(MIDIHDR) - 1), MMSYSERR_INVALPARAM);
    EXPECT_EQ(midiInPrepareHeader(in, nullptr, sizeof(MIDIHDR)), MMSYSERR_INVALPARAM);
    EXPECT_EQ(midiInPrepareHeader(in, &b.header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(b.header.dwFlags & MHDR_PREPARED, MHDR_PREPARED);
    EXPECT_EQ(midiInAddBuffer(in, &b.header, 111), MMSYSERR_INVALPARAM);
    EXPECT_EQ(midiInAddBuffer(in, &b.header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(midiInAddBuffer(in, &b.header, sizeof(MIDIHDR)), MIDIERR_STILLPLAYING);
    EXPECT_EQ(midiInReset(in), MMSYSERR_NOERROR);
    EXPECT_EQ(midiInUnprepareHeader(in, &b.header, sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    Buffer empty(0);
    midiInPrepareHeader(in, &empty.header, sizeof(MIDIHDR));
    empty.header.lpData = b.data.data();
    empty.header.dwFlags |= MHDR_PREPARED;
    EXPECT_EQ(midiInAddBuffer(in, &empty.header, sizeof(MIDIHDR)), MMSYSERR_INVALPARAM);
}

TEST_F(MidiInput, TimeStampsCountFromMidiInStartOnTheServiceClock) {
    cvxClockManual(1);
    Recorder r;
    HMIDIIN in = nullptr;
    ASSERT_EQ(midiInOpen(&in, 1, reinterpret_cast<DWORD_PTR>(&Recorder::callback), r.instance(),
                         CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    feed(1, {0x90, 0x3C, 0x40}); // not started: lost
    cvxClockAdvance(100);
    ASSERT_EQ(midiInStart(in), MMSYSERR_NOERROR);
    cvxClockAdvance(25);
    feed(1, {0x90, 0x3C, 0x41});
    cvxClockAdvance(1000);
    feed(1, {0xF8});
    vmidiSettle();
    auto data = r.events(MIM_DATA);
    ASSERT_EQ(data.size(), 2u);
    EXPECT_EQ(data[0].p1, 0x413C90u);
    EXPECT_EQ(data[0].p2, 25u);
    EXPECT_EQ(data[1].p2, 1025u);
    midiInClose(in);
}

TEST_F(MidiInput, OpenAndCloseNotifyTheCallbackAndNothingArrivesAfterClose) {
    Recorder r;
    HMIDIIN in = openStartedInput(0, r);
    EXPECT_EQ(r.events().front().msg, static_cast<UINT>(MIM_OPEN));
    ASSERT_EQ(midiInClose(in), MMSYSERR_NOERROR);
    EXPECT_EQ(r.events().back().msg, static_cast<UINT>(MIM_CLOSE));
    size_t count = r.events().size();
    feed(0, {0x90, 0x3C, 0x40});
    vmidiSettle();
    EXPECT_EQ(r.events().size(), count);
}

struct Blocking {
    std::mutex mutex;
    std::condition_variable cv;
    bool entered = false;
    bool release = false;
    std::atomic<bool> returned{false};
    static void callback(HMIDIIN, UINT msg, DWORD_PTR instance, DWORD_PTR, DWORD_PTR) {
        auto* self = reinterpret_cast<Blocking*>(instance);
        if (msg != MIM_DATA) {
            return;
        }
        {
            std::unique_lock lock(self->mutex);
            self->entered = true;
            self->cv.notify_all();
            self->cv.wait(lock, [&] { return self->release; });
        }
        self->returned.store(true);
    }
};

TEST_F(MidiInput, CloseWaitsForACallbackStillRunningOnTheInputThread) {
    Blocking blocking;
    HMIDIIN in = nullptr;
    ASSERT_EQ(midiInOpen(&in, 0, reinterpret_cast<DWORD_PTR>(&Blocking::callback),
                         reinterpret_cast<DWORD_PTR>(&blocking), CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    midiInStart(in);
    feed(0, {0x90, 0x3C, 0x40});
    {
        std::unique_lock lock(blocking.mutex);
        blocking.cv.wait(lock, [&] { return blocking.entered; });
    }
    bool returnedBeforeClose = false;
    std::thread closer([&] {
        EXPECT_EQ(midiInClose(in), MMSYSERR_NOERROR);
        returnedBeforeClose = blocking.returned.load();
    });
    {
        std::lock_guard guard(blocking.mutex);
        blocking.release = true;
        blocking.cv.notify_all();
    }
    closer.join();
    EXPECT_TRUE(returnedBeforeClose);
}

// A callback that sends what it receives back out of the same cable: the message goes
// round the loop on the input thread, one hop at a time, never inside the sender.
struct Loop {
    HMIDIOUT out = nullptr;
    std::atomic<int> depth{0};
    std::atomic<int> deepest{0};
    std::atomic<int> hops{0};
    std::mutex mutex;
    std::vector<std::thread::id> threads;

    static void callback(HMIDIIN, UINT msg, DWORD_PTR instance, DWORD_PTR p1, DWORD_PTR) {
        auto* self = reinterpret_cast<Loop*>(instance);
        if (msg != MIM_DATA) {
            return;
        }
        int d = self->depth.fetch_add(1) + 1;
        if (d > self->deepest.load()) {
            self->deepest.store(d);
        }
        {
            std::lock_guard guard(self->mutex);
            self->threads.push_back(std::this_thread::get_id());
        }
        DWORD velocity = (p1 >> 16) & 0x7F;
        if (self->hops.fetch_add(1) + 1 < 50) {
            midiOutShortMsg(self->out, (p1 & 0xFFFF) | ((velocity + 1) << 16));
        }
        self->depth.fetch_sub(1);
    }
};

TEST_F(MidiInput, ACableRoutedIntoItselfIsAFeedbackLoopOnTheInputThreadNotARecursion) {
    Loop loop;
    ASSERT_EQ(midiOutOpen(&loop.out, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    HMIDIIN in = nullptr;
    ASSERT_EQ(midiInOpen(&in, 0, reinterpret_cast<DWORD_PTR>(&Loop::callback),
                         reinterpret_cast<DWORD_PTR>(&loop), CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    midiInStart(in);
    ASSERT_EQ(midiOutShortMsg(loop.out, 0x013C90), MMSYSERR_NOERROR);
    for (int i = 0; i < 100 && loop.hops.load() < 50; ++i) {
        vmidiSettle(); // each settle follows the loop one hop further
    }
    EXPECT_EQ(loop.hops.load(), 50);
    EXPECT_EQ(loop.deepest.load(), 1);
    std::lock_guard guard(loop.mutex);
    for (auto id : loop.threads) {
        EXPECT_EQ(id, loop.threads.front());
    }
    EXPECT_NE(loop.threads.front(), std::this_thread::get_id());
    auto sent = takeAll(0);
    EXPECT_EQ(sent.size(), 50u * 3);
    midiInClose(in);
    midiOutClose(loop.out);
}

struct EndlessLoop {
    HMIDIOUT out = nullptr;
    std::atomic<bool> stop{false};
    std::atomic<int> hops{0};
    static void callback(HMIDIIN, UINT msg, DWORD_PTR instance, DWORD_PTR p1, DWORD_PTR) {
        auto* self = reinterpret_cast<EndlessLoop*>(instance);
        if (msg == MIM_DATA && !self->stop.load()) {
            self->hops.fetch_add(1);
            midiOutShortMsg(self->out, static_cast<DWORD>(p1));
        }
    }
};

TEST_F(MidiInput, AnEndlessFeedbackLoopDoesNotStarveOtherInputs) {
    EndlessLoop loop;
    ASSERT_EQ(midiOutOpen(&loop.out, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    HMIDIIN looped = nullptr;
    ASSERT_EQ(midiInOpen(&looped, 0, reinterpret_cast<DWORD_PTR>(&EndlessLoop::callback),
                         reinterpret_cast<DWORD_PTR>(&loop), CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    midiInStart(looped);
    Recorder other;
    HMIDIIN in = openStartedInput(1, other);
    midiOutShortMsg(loop.out, 0x403C90);
    feed(1, {0xB0, 0x07, 0x64});
    vmidiSettle();
    EXPECT_EQ(other.shortMessages(), std::vector<DWORD_PTR>{0x6407B0});
    loop.stop.store(true);
    vmidiSettle();
    vmidiSettle();
    EXPECT_GT(loop.hops.load(), 0);
    midiInClose(looped);
    midiInClose(in);
    midiOutClose(loop.out);
}

TEST_F(MidiInput, SettleReturnsOnlyWhenEverythingFedHasBeenDelivered) {
    Recorder a;
    Recorder b;
    HMIDIIN inA = openStartedInput(0, a);
    HMIDIIN inB = openStartedInput(3, b);
    for (int i = 0; i < 2000; ++i) {
        uint8_t note = static_cast<uint8_t>(i & 0x7F);
        feed(i % 2 == 0 ? 0 : 3, {0x90, note, 0x40});
    }
    std::vector<uint8_t> big(300000, 0x11); // more than the input ring holds at once
    big.front() = 0xF0;
    big.back() = 0xF7;
    feed(3, big);
    feed(3, {0xB0, 0x07, 0x64});
    vmidiSettle();
    EXPECT_EQ(a.events(MIM_DATA).size(), 1000u);
    EXPECT_EQ(b.events(MIM_DATA).size(), 1001u);
    EXPECT_EQ(b.shortMessages().back(), 0x6407B0u);
    midiInClose(inA);
    midiInClose(inB);
}

} // namespace
} // namespace cvx::platform::testing
