// The real-time paths over the loopback cables allocate nothing: input parsing and
// delivery, filtering, mapping, routing, the monitor queues and their notices, the
// delayed-event pump, the time code and clock generators and the SysEx output pump. And
// the counter sees an allocation on the engine's own threads, so a zero means something.
#include "datapath_fixture.h"
#include "support/allocation_counter.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace cvx::test {
namespace {

class LoopbackAllocationTest : public DataPathTest {
protected:
    void SetUp() override {
        if (!allocationCountingAvailable()) {
            GTEST_SKIP() << "sanitizer build: the sanitizer owns the allocator";
        }
        DataPathTest::SetUp();
    }
    void TearDown() override {
        if (handle != 0) {
            m32GenMTCStop(handle, 0);
            m32StopClock(handle);
            DataPathTest::TearDown();
        }
    }

    // Feeding and settling stand for the cable and the test, not for the engine.
    static void feedUncounted(unsigned device, const Bytes& bytes) {
        ExemptThread tap;
        ASSERT_EQ(vmidiFeed(device, bytes.data(), static_cast<unsigned>(bytes.size())), 1);
        vmidiSettle();
    }
};

TEST_F(LoopbackAllocationTest, RoutedInputWithDelayedEventsAndWindowNoticesDoesNotAllocate) {
    RecordingWindow raw;
    RecordingWindow mtc;
    RecordingWindow sync;
    ASSERT_EQ(m32AttachRawMonitor(handle, raw.handle()), 1);
    ASSERT_EQ(m32AttachMTC(handle, mtc.handle()), 1);
    ASSERT_EQ(m32AttachSync(handle, sync.handle()), 1);
    openInput(0, 4, 256);
    openOutput(2, routeFrom({0}), 4, 256);
    MapItem item = openItem(MAP_CTRL, MAP_ANY);
    item.sourceV1Min = item.sourceV1Max = 1;
    item.itemFlags = 10 << MAPITEM_DELAY_SHIFT;
    SMapper map{};
    map.mapIsOn = 1;
    map.itemCount = 1;
    map.items = &item;
    ASSERT_EQ(m32SendMap(handle, map), 1);
    Bytes burst = {0xF2, 16, 0}; // a song position for the sync window
    for (int i = 0; i < 300; ++i) {
        burst.insert(burst.end(), {0x90, 60, 100, 0xB0, 1, 64, 0xF8, 0x80, 60, 0});
        // one quarter frame of a running time code for the time code window
        burst.insert(burst.end(),
                     {0xF1, static_cast<uint8_t>((i % 8) << 4 | (i % 8 == 7 ? 2 : 0))});
    }
    burst.insert(burst.end(), {0xF0, 0x01, 0x02, 0xF7});
    feed(0, burst); // warm-up: threads and lazily made parts exist now
    cvxClockAdvance(20);
    take(2);
    readAll(MON_MAIN);
    readAll(MON_RAW_INPUT);
    for (RecordingWindow* window : {&mainWindow, &raw, &mtc, &sync}) {
        window->clear();
    }

    uint64_t counted = 0;
    {
        AllocationWindow window;
        feedUncounted(0, burst);
        cvxClockAdvance(20); // the pump and the raw-monitor notice run here
        counted = window.count();
    }
    EXPECT_EQ(counted, 0u) << "run with CVX_ALLOC_TRACE=1 to see where";
    EXPECT_EQ(take(2).size(), burst.size());
    EXPECT_GT(mtc.posts().size(), 0u);
    EXPECT_GT(sync.posts().size(), 0u);
    EXPECT_GT(raw.posts().size(), 0u);
    m32DetachMTC(handle);
    m32DetachSync(handle);
    m32DetachRawMonitor(handle);
}

TEST_F(LoopbackAllocationTest, GeneratorsAndTheSysExOutputPumpDoNotAllocate) {
    openOutput(1, routeFrom({CVX_GENERATED_PORT}), 8, 256);
    m32ConfigMTC(handle, 1, 5, 0x01020304);
    m32ConfigSync(handle, 5, 12000, 96);
    ASSERT_EQ(m32GenMTCStart(handle), 1);
    ASSERT_EQ(m32StartClock(handle), 1);
    Bytes sysex = cvx::test::sysex(1000);
    const auto sendSysEx = [&] {
        ExemptThread application; // the call itself is the application's, not a timer's
        ASSERT_EQ(m32SendSysEx(handle, reinterpret_cast<char*>(sysex.data()),
                               static_cast<uint16_t>(sysex.size())),
                  MMSYSERR_NOERROR);
    };
    sendSysEx(); // warm-up
    cvxClockAdvance(200);
    vmidiSettle();
    take(1);

    uint64_t counted = 0;
    {
        AllocationWindow window;
        sendSysEx();
        cvxClockAdvance(200); // quarter frames, clocks and the SysEx pieces go out here
        {
            ExemptThread test;
            vmidiSettle();
        }
        counted = window.count();
    }
    EXPECT_EQ(counted, 0u) << "run with CVX_ALLOC_TRACE=1 to see where";
    const Bytes sent = take(1);
    EXPECT_GT(sent.size(), sysex.size()) << "the SysEx and time code went out";
}

// The timer thread and the service's input thread run the application's callbacks: an
// allocation made there is counted while the test's own thread is exempt.
TEST(RealtimeAllocationCounter, SeesAllocationsOnTheEnginesThreads) {
    if (!allocationCountingAvailable()) {
        GTEST_SKIP() << "sanitizer build: the sanitizer owns the allocator";
    }
    static std::atomic<int> calls{0};
    static void* volatile kept = nullptr;
    const auto allocate = [] {
        kept = new int(calls.load());
        delete static_cast<int*>(kept);
        ++calls;
    };
    static void (*allocateHere)() = +allocate;
    const LPTIMECALLBACK timer = [](UINT, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
        allocateHere();
    };
    const LPMIDICALLBACK input = [](HMIDIIN, UINT msg, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
        if (msg == MIM_DATA) {
            allocateHere();
        }
    };
    setenv("CORVEX_MIDI", "virtual", 1);
    HMIDIIN in = nullptr;
    ASSERT_EQ(midiInOpen(&in, 0, reinterpret_cast<DWORD_PTR>(input), 0, CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    ASSERT_EQ(midiInStart(in), MMSYSERR_NOERROR);

    uint64_t counted = 0;
    {
        AllocationWindow window;
        ExemptThread test;
        ASSERT_NE(timeSetEvent(1, 0, timer, 0, TIME_ONESHOT | TIME_CALLBACK_FUNCTION), 0u);
        const Bytes note = {0x90, 60, 100};
        ASSERT_EQ(vmidiFeed(0, note.data(), static_cast<unsigned>(note.size())), 1);
        vmidiSettle();
        for (int i = 0; i < 1000 && calls.load() < 2; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        counted = window.count();
    }
    midiInClose(in);
    EXPECT_EQ(calls.load(), 2);
    EXPECT_EQ(counted, 2u);
}

} // namespace
} // namespace cvx::test
