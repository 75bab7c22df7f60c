// Devices coming and going under open ports, on the loopback cables, with MIDI flowing.
#include "device_change_signal.h"
#include "device_test_support.h"
#include "midi.h"

#include "cvx_devices.h"
#include "cvxlib.h"
#include "vmidi.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <poll.h>

#include <atomic>
#include <thread>

namespace corvex::testing {
namespace {

using ::testing::ElementsAre;

constexpr const char* kCable1 = "Corvex Loopback 1";
constexpr const char* kCable2 = "Corvex Loopback 2";
constexpr const char* kHot = "Hot Cable";

// The device index of a cable by name (the order changes as cables come and go).
unsigned deviceOf(const char* name) {
    for (unsigned device = 0; device < midiInGetNumDevs(); ++device) {
        char found[256] = {};
        if (cvxMidiInGetName(device, found, sizeof found) == MMSYSERR_NOERROR &&
            std::string(found) == name) {
            return device;
        }
    }
    return 999;
}

// Feeds notes into an input until stopped, as a keyboard would while the user unplugs.
class Traffic {
public:
    explicit Traffic(unsigned input)
        : thread_([this, input] {
              const unsigned char note[] = {0x90, 0x40, 0x50, 0x80, 0x40, 0x00};
              while (!stop_.load()) {
                  vmidiFeed(input, note, sizeof note);
                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
              }
          }) {}
    ~Traffic() {
        stop_.store(true);
        thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class DeviceHotplugTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(vmidiAddCable(kHot), 1);
        DeviceSettings settings;
        settings.selection.inputs = {kCable1, kHot};
        settings.selection.outputs = {kCable2, kHot};
        // Loopback 1 and the hot cable feed Loopback 2; Loopback 1 feeds the hot cable.
        settings.selection.outputMaps = {storedMap({0, 1}, true), storedMap({0}, false)};
        midi_.configure(settings);
        midi_.createClient(target_.hwnd(), nullptr, CFilter{});
        midi_.enumerateDevices();
        midi_.applyCustomNames();
        midi_.restoreSelections();
        ASSERT_TRUE(midi_.openPorts());
        ASSERT_TRUE(routes(deviceOf(kHot), deviceOf(kCable2)));
        ASSERT_TRUE(routes(deviceOf(kCable1), deviceOf(kHot)));
        ui_.monitor.clear();
    }
    void TearDown() override {
        midi_.closePorts();
        midi_.destroyClient();
        vmidiRemoveCable(kHot);
    }

    RecordingTarget target_;
    RecordingUi ui_;
    MemoryGuard guard_;
    PlatformDeviceQuery query_;
    CMidi midi_{ui_, guard_, query_};
};

TEST_F(DeviceHotplugTest, UnchangedListsDoNothing) {
    EXPECT_FALSE(midi_.checkDeviceChange());
    EXPECT_TRUE(ui_.monitor.empty());
    EXPECT_TRUE(midi_.portsOpen());
}

TEST_F(DeviceHotplugTest, UnpluggingAnOpenCableWhileMessagesFlowReopensTheRest) {
    {
        Traffic traffic(0);
        ASSERT_EQ(vmidiRemoveCable(kHot), 1);
        EXPECT_TRUE(midi_.checkDeviceChange());
    }
    EXPECT_THAT(ui_.monitorLinesStartingWith("Closing disconnected"),
                ElementsAre("Closing disconnected MIDI Input... Hot Cable",
                            "Closing disconnected MIDI Output... Hot Cable"));
    EXPECT_EQ(ui_.monitor.front(), "MIDI device change detected...");
    EXPECT_TRUE(ui_.monitorHas("Reopened active MIDI drivers."));
    EXPECT_EQ(midi_.inputCount(), 3);
    EXPECT_EQ(midi_.outputCount(), 4);
    EXPECT_EQ(InDevOpenCount(midi_.client()), 1);
    EXPECT_EQ(OutDevOpenCount(midi_.client()), 1);
    EXPECT_TRUE(routes(deviceOf(kCable1), deviceOf(kCable2)));
    EXPECT_TRUE(ui_.warnings.empty());
    EXPECT_EQ(guard_.value, 0);
}

TEST_F(DeviceHotplugTest, PluggingTheCableBackRestoresItsSelectionAndRoutes) {
    ASSERT_EQ(vmidiRemoveCable(kHot), 1);
    ASSERT_TRUE(midi_.checkDeviceChange());
    // Stored while absent: the cable keeps its place and routing.
    const StoredSelection absent = midi_.saveSelections();
    EXPECT_THAT(absent.inputs, ElementsAre(kCable1, kHot));
    EXPECT_THAT(absent.outputs, ElementsAre(kCable2, kHot));

    ASSERT_EQ(vmidiAddCable(kHot), 1);
    ui_.monitor.clear();
    ASSERT_TRUE(midi_.checkDeviceChange());
    EXPECT_TRUE(ui_.monitorLinesStartingWith("Closing disconnected").empty());
    EXPECT_EQ(InDevOpenCount(midi_.client()), 2);
    EXPECT_EQ(OutDevOpenCount(midi_.client()), 2);
    EXPECT_TRUE(routes(deviceOf(kHot), deviceOf(kCable2)));
    EXPECT_TRUE(routes(deviceOf(kCable1), deviceOf(kHot)));
}

TEST_F(DeviceHotplugTest, ADeviceLeavingBeforeAnotherIsMatchedByName) {
    // Loopback 2 leaves: the hot cable moves down one index, yet only Loopback 2 is named.
    ASSERT_EQ(vmidiRemoveCable(kCable2), 1);
    ASSERT_TRUE(midi_.checkDeviceChange());
    EXPECT_THAT(ui_.monitorLinesStartingWith("Closing disconnected"),
                ElementsAre("Closing disconnected MIDI Output... Corvex Loopback 2"));
    CMidiOut* hot = midi_.findOutput(kHot);
    ASSERT_NE(hot, nullptr);
    EXPECT_EQ(hot->deviceIndex(), static_cast<int>(deviceOf(kHot)));
    EXPECT_TRUE(hot->IsOpen());
    EXPECT_TRUE(routes(deviceOf(kCable1), deviceOf(kHot)));
    // Back in the original order for the tests that follow in this process.
    midi_.closePorts();
    ASSERT_EQ(vmidiAddCable(kCable2), 1);
    ASSERT_EQ(vmidiRemoveCable("Corvex Loopback 3"), 1);
    ASSERT_EQ(vmidiAddCable("Corvex Loopback 3"), 1);
}

TEST_F(DeviceHotplugTest, ClosedPortsStayClosedAfterAChange) {
    midi_.closePorts();
    ui_.monitor.clear();
    ASSERT_EQ(vmidiRemoveCable(kHot), 1);
    EXPECT_TRUE(midi_.checkDeviceChange());
    EXPECT_TRUE(ui_.monitorLinesStartingWith("Closing disconnected").empty());
    EXPECT_FALSE(ui_.monitorHas("Reopened active MIDI drivers."));
    EXPECT_EQ(InDevOpenCount(midi_.client()), 0);
}

TEST(DeviceChangeSignal, TheServiceCallbackWakesTheEventFd) {
    RecordingTarget target; // sets up the loopback environment
    DeviceChangeSignal signal;
    ASSERT_GE(signal.fd(), 0);
    EXPECT_FALSE(signal.take());
    ASSERT_EQ(vmidiAddCable("Signal Cable"), 1);
    pollfd watch{signal.fd(), POLLIN, 0};
    EXPECT_EQ(poll(&watch, 1, 5000), 1);
    EXPECT_TRUE(signal.pending());
    EXPECT_TRUE(signal.take());
    EXPECT_EQ(poll(&watch, 1, 0), 0);
    EXPECT_FALSE(signal.pending());
    ASSERT_EQ(vmidiRemoveCable("Signal Cable"), 1);
    EXPECT_TRUE(signal.take());
}

} // namespace
} // namespace corvex::testing
