// GetPortStatus and GetCurrentStatus on loopback cables: what is reported, what is cleared,
// what is left alone, and that nothing recorded while the application reads is lost.
#include "datapath_fixture.h"

#include <atomic>
#include <cstring>
#include <thread>

namespace cvx::test {
namespace {

constexpr uint8_t kUntouched = 0xAB;

class PortStatusTest : public DataPathTest {
protected:
    CPortStatus read() {
        CPortStatus status;
        std::memset(&status, kUntouched, sizeof status);
        m32GetPortStatus(handle, &status);
        return status;
    }
};

TEST_F(PortStatusTest, ReportsLastActivityAndClearsOnlyTheStatusWords) {
    openInput(0);
    openOutput(1, routeFrom({0}));
    m32GetPortStatus(handle, nullptr); // no record: nothing happens
    read();
    cvxClockAdvance(7);
    uint32_t now = timeGetTime();
    feed(0, {0x92, 60, 100});

    CPortStatus first = read();
    EXPECT_EQ(first.inputTimes[0], now);
    EXPECT_EQ(first.inputClasses[0], 1u << 2);
    EXPECT_EQ(first.outputs[1].lastTime, now);
    EXPECT_EQ(first.outputs[1].statusBits, 1u << 2);
    EXPECT_EQ(first.outputs[1].deviceIndex, 1);
    EXPECT_EQ(first.outputs[1].lastInput, 0);

    CPortStatus second = read();
    EXPECT_EQ(second.inputTimes[0], now);
    EXPECT_EQ(second.inputClasses[0], 0u);
    EXPECT_EQ(second.outputs[1].lastTime, now);
    EXPECT_EQ(second.outputs[1].statusBits, 0u);
    EXPECT_EQ(second.outputs[1].deviceIndex, 1);
}

TEST_F(PortStatusTest, OutputBitsAccumulateByKindUntilRead) {
    openInput(0);
    openOutput(1, routeFrom({0}));
    read();
    feed(0, {0x90, 60, 100, 0x9F, 60, 100, 0xF8, 0xF3, 1});
    EXPECT_EQ(read().outputs[1].statusBits,
              (1u << 0) | (1u << 15) | CVX_STATUS_REALTIME | CVX_STATUS_SYSTEM_COMMON);
}

TEST_F(PortStatusTest, GeneratedPortIsReportedAndCleared) {
    openOutput(1, routeFrom({CVX_GENERATED_PORT}));
    read();
    m32corvexEvent(handle, 0xB0, 3, 7, 90, 0);
    CPortStatus first = read();
    EXPECT_EQ(first.inputClasses[CVX_GENERATED_PORT], 1u << 3);
    EXPECT_EQ(first.outputs[1].lastInput, CVX_GENERATED_PORT);
    EXPECT_EQ(read().inputClasses[CVX_GENERATED_PORT], 0u);
}

TEST_F(PortStatusTest, EntriesBeyondThePlatformsPortsKeepTheCallersValues) {
    uint32_t inputs = midiInGetNumDevs();
    uint32_t outputs = midiOutGetNumDevs();
    ASSERT_LT(outputs + 1, CVX_PORT_COUNT);
    CPortStatus status = read();
    uint32_t untouched = 0;
    std::memset(&untouched, kUntouched, sizeof untouched);
    EXPECT_EQ(status.inputTimes[inputs - 1], 0u);
    EXPECT_EQ(status.inputTimes[inputs], untouched);
    EXPECT_EQ(status.inputClasses[CVX_GENERATED_PORT - 1], untouched);
    EXPECT_EQ(status.inputClasses[CVX_GENERATED_PORT], 0u);
    EXPECT_EQ(status.outputs[outputs].statusBits, 0u); // the mapper's slot
    EXPECT_EQ(status.outputs[outputs + 1].statusBits, untouched);
    EXPECT_EQ(status.outputs[CVX_PORT_COUNT - 1].deviceIndex, 0xABAB);
}

// Each round sends every channel once while another thread keeps reading, a send between
// two reads; every channel must show up in exactly one read.
TEST_F(PortStatusTest, BitsSetWhileReadingAreNeverLost) {
    openOutput(1, routeFrom({CVX_GENERATED_PORT}));
    read();
    for (int round = 0; round < 20; ++round) {
        std::atomic<bool> sending{true};
        std::atomic<int> reads{0};
        uint32_t seen = 0;
        std::thread reader([&] {
            CPortStatus status{};
            while (sending.load()) {
                m32GetPortStatus(handle, &status);
                EXPECT_EQ(seen & status.outputs[1].statusBits, 0u);
                seen |= status.outputs[1].statusBits;
                reads.fetch_add(1);
            }
        });
        for (uint16_t channel = 0; channel < 16; ++channel) {
            int before = reads.load();
            while (reads.load() == before) {
                std::this_thread::yield();
            }
            m32corvexEventDirect(handle, 1, static_cast<uint16_t>(0x90 | channel), 60, 1, 0);
        }
        sending.store(false);
        reader.join();
        seen |= read().outputs[1].statusBits;
        ASSERT_EQ(seen, 0xFFFFu) << "round " << round;
        readAll(MON_MAIN);
    }
}

TEST_F(PortStatusTest, CurrentStatusIsTheRunningStatusByteAndTheFlag) {
    openInput(0);
    openOutput(1, routeFrom({0}));
    ASSERT_EQ(m32SendRunStatus(handle, 1), 0);
    feed(0, {0xC0, 5, 0x91, 60, 100});
    EXPECT_EQ(m32GetCurrentStatus(handle, 1), 0x10091u);
    m32SendRunStatus(handle, 0);
    EXPECT_EQ(m32GetCurrentStatus(handle, 1), 0x91u);
    feed(0, {0xF2, 0, 0});
    EXPECT_EQ(m32GetCurrentStatus(handle, 1), 0u); // system common ends running status
    EXPECT_EQ(m32GetCurrentStatus(handle, CVX_PORT_COUNT), 0u);
    EXPECT_EQ(m32GetCurrentStatus(0, 1), 0u);
}

} // namespace
} // namespace cvx::test
