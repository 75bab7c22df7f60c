// The device manager on the engine's loopback cables: "Corvex Loopback 1..3" are inputs and
// outputs 0-2, the mapper takes output slot 3.
#include "device_test_support.h"
#include "midi.h"

#include "cvxlib.h"
#include "ini/engine_settings.h"
#include "ini/profile_strings.h"
#include "vmidi.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

namespace corvex::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using RetryAnswer = DeviceUserInterface::RetryAnswer;

constexpr const char* kCable1 = "Corvex Loopback 1";
constexpr const char* kCable2 = "Corvex Loopback 2";
constexpr const char* kCable3 = "Corvex Loopback 3";

// A device list whose chosen capability queries fail.
class FailingQuery : public PlatformDeviceQuery {
public:
    MMRESULT inputCaps(unsigned device, MIDIINCAPS& caps) override {
        return device == failingInput ? MMSYSERR_NODRIVER
                                      : PlatformDeviceQuery::inputCaps(device, caps);
    }
    MMRESULT outputCaps(unsigned device, MIDIOUTCAPS& caps) override {
        return device == failingOutput ? MMSYSERR_NODRIVER
                                       : PlatformDeviceQuery::outputCaps(device, caps);
    }
    unsigned failingInput = 99;
    unsigned failingOutput = 99;
};

class DeviceManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(midiInGetNumDevs(), 3u) << "expects exactly three loopback cables";
        settings_.versionText = "1.0";
    }
    void TearDown() override {
        midi_.closePorts();
        midi_.destroyClient();
    }

    // Configures, enumerates and selects as the program does at start-up.
    void start() {
        midi_.configure(settings_);
        midi_.createClient(target_.hwnd(), nullptr, CFilter{});
        midi_.enumerateDevices();
        midi_.applyCustomNames();
        midi_.restoreSelections();
    }

    void selectAll() {
        settings_.selection.inputs = {kCable1, kCable2, kCable3};
        settings_.selection.outputs = {kCable1, kCable2, kCable3};
    }

    RecordingTarget target_;
    RecordingUi ui_;
    MemoryGuard guard_;
    FailingQuery query_;
    DeviceSettings settings_;
    CMidi midi_{ui_, guard_, query_};
};

TEST_F(DeviceManagerTest, ThreeOutputsAndTheMapperSlotWhichOpensThePlatformMapper) {
    settings_.selection.outputs = {"MIDI Mapper"};
    settings_.selection.inputs = {kCable2};
    start();
    EXPECT_EQ(midi_.inputCount(), 3);
    ASSERT_EQ(midi_.outputCount(), 4);
    EXPECT_EQ(midi_.output(3).productName(), "MIDI Mapper");
    EXPECT_EQ(midi_.output(3).deviceIndex(), 3);
    EXPECT_TRUE(midi_.output(3).isMapper());
    EXPECT_EQ(midi_.output(2).productName(), kCable3);

    ASSERT_TRUE(midi_.openPorts());
    EXPECT_EQ(IsOutDevOpen(midi_.client(), 3), 1);
    // The mapper aliases Loopback 1 when there is no other device.
    EXPECT_TRUE(routes(1, 0));
    EXPECT_TRUE(ui_.warnings.empty());
}

TEST_F(DeviceManagerTest, AFailingCapabilityQueryLeavesNoGap) {
    query_.failingInput = 1;
    query_.failingOutput = 0;
    start();
    ASSERT_EQ(midi_.inputCount(), 2);
    EXPECT_EQ(midi_.input(0).productName(), kCable1);
    EXPECT_EQ(midi_.input(1).productName(), kCable3);
    EXPECT_EQ(midi_.input(1).deviceIndex(), 2);
    ASSERT_EQ(midi_.outputCount(), 3);
    EXPECT_EQ(midi_.output(0).productName(), kCable2);
    EXPECT_EQ(midi_.output(0).deviceIndex(), 1);
    // The mapper's engine index never collides with a real output's.
    EXPECT_EQ(midi_.output(2).deviceIndex(), 3);
    // The output failure is shown, the input failure logged.
    ASSERT_EQ(ui_.warnings.size(), 1u);
    EXPECT_THAT(ui_.warnings[0], HasSubstr("DevCaps Out: Corvex Loopback 1"));
    EXPECT_THAT(ui_.warnings[0], HasSubstr("[MMSYSERR_NODRIVER: 6]"));
    bool crLf = false;
    const std::vector<std::string> log = readCrLfLines(midi_.logPath(), crLf);
    EXPECT_THAT(log, ::testing::Contains(
                         " << In:  Query Device Failed: 1, DevCaps In: Corvex Loopback 2: MIDI "
                         "port is no longer available (device disconnected or re-enumerating). "
                         "[MMSYSERR_NODRIVER: 6]"));
}

TEST_F(DeviceManagerTest, NoInPreviousFailureOpensNothingAndClearsTheGuard) {
    selectAll();
    start();
    guard_.value = 1;
    ui_.answers = {RetryAnswer::No};
    EXPECT_FALSE(midi_.openPorts());
    EXPECT_EQ(ui_.questions, 1);
    EXPECT_EQ(guard_.value, 0);
    EXPECT_EQ(InDevOpenCount(midi_.client()), 0);
    EXPECT_EQ(OutDevOpenCount(midi_.client()), 0);
    EXPECT_FALSE(midi_.portsOpen());
}

TEST_F(DeviceManagerTest, ViewLogOpensTheLogAndAsksAgain) {
    selectAll();
    start();
    guard_.value = 1;
    ui_.openFileWorks = false;
    ui_.answers = {RetryAnswer::ViewLog, RetryAnswer::Yes};
    EXPECT_TRUE(midi_.openPorts());
    EXPECT_EQ(ui_.questions, 2);
    EXPECT_THAT(ui_.openedFiles, ElementsAre(midi_.logPath()));
    EXPECT_THAT(ui_.warnings, ElementsAre("Could not open the log file.  It is possible the file "
                                          "name was not a type known by the system (.TXT)."));
}

TEST_F(DeviceManagerTest, TheGuardIsSetWhileOpeningAndClearedAfter) {
    selectAll();
    start();
    ASSERT_TRUE(midi_.openPorts());
    EXPECT_THAT(guard_.writes, ElementsAre(1, 0));
    EXPECT_EQ(ui_.questions, 0);
    EXPECT_EQ(ui_.portsChangedCount, 1);
    EXPECT_TRUE(ui_.monitorHas("Opened MIDI Input"));
    EXPECT_TRUE(ui_.monitorHas("Opened MIDI Output"));
}

TEST_F(DeviceManagerTest, AFailedOpenIsReportedOnceAndLeavesTheRouting) {
    // Inputs 1 and 2 feed output 0 (whose cable loops back into the unopened input 0).
    settings_.selection.inputs = {kCable2, kCable3};
    settings_.selection.outputs = {kCable1, kCable2};
    start();
    vmidiFailOpen(2, 0, MMSYSERR_ALLOCATED);
    ASSERT_TRUE(midi_.openPorts());
    ASSERT_EQ(ui_.warnings.size(), 1u);
    const std::string expected =
        "Corvex Loopback 3: Port is already in use by another application (single-client "
        "driver). [MMSYSERR_ALLOCATED: 4]";
    EXPECT_EQ(ui_.warnings[0], expected + "\n");
    // Out of the routing of every selected output; the other input still routes.
    for (int slot = 0; slot < 2; ++slot) {
        EXPECT_EQ(midi_.output(slot).portMap().inputBits[0] & 0x4u, 0u);
    }
    EXPECT_TRUE(routes(1, 0));
    EXPECT_FALSE(routes(2, 0));
    // A clean failure leaves no crash mark: the next opening does not ask.
    EXPECT_EQ(guard_.value, 0);
    ASSERT_TRUE(midi_.reopenPorts());
    EXPECT_EQ(ui_.questions, 0);
    // It failed only once: opened again, it gets its routing back, and keeps it stored.
    EXPECT_TRUE(routes(2, 0));
    const StoredSelection saved = midi_.saveSelections();
    ASSERT_TRUE(saved.outputMaps[0].has_value());
    EXPECT_NE(saved.outputMaps[0]->inputMasks[1], 0u);
}

TEST_F(DeviceManagerTest, OpeningLeavesNoHalfOpenSetWhenEveryPortFails) {
    settings_.selection.inputs = {kCable1};
    settings_.selection.outputs = {kCable1};
    start();
    vmidiFailOpen(0, 0, MMSYSERR_NOMEM);
    vmidiFailOpen(0, 1, MMSYSERR_NODRIVER);
    EXPECT_FALSE(midi_.openPorts());
    EXPECT_FALSE(midi_.portsOpen());
    ASSERT_EQ(ui_.warnings.size(), 1u);
    EXPECT_THAT(ui_.warnings[0], HasSubstr("[MMSYSERR_NOMEM: 7]"));
    EXPECT_THAT(ui_.warnings[0], HasSubstr("[MMSYSERR_NODRIVER: 6]"));
    EXPECT_EQ(guard_.value, 0);
}

TEST_F(DeviceManagerTest, AnExceptionWhileOpeningStillClearsTheGuardAndUnblocksInput) {
    class ThrowingReader : public RouteMapReader {
    public:
        bool readRouteMap(const std::string&, const std::function<void(const SMapper&)>&) override {
            throw std::runtime_error("unreadable");
        }
    } reader;
    settings_.selection.inputs = {kCable2};
    settings_.selection.outputs = {kCable1};
    settings_.selection.routeMaps = {{1, 0, "/maps/generated.vxm"}};
    midi_.setRouteMapReader(&reader);
    start();
    EXPECT_THROW(midi_.openPorts(), std::runtime_error);
    EXPECT_EQ(guard_.value, 0);
    EXPECT_TRUE(routes(1, 0)); // input is not left blocked
}

TEST_F(DeviceManagerTest, DefaultRoutingGivesTheFirstOutputEveryInput) {
    selectAll();
    start();
    const CPortMap& first = midi_.output(0).portMap();
    EXPECT_EQ(first.inputBits[0], 0x7u);
    EXPECT_EQ(first.inputMasks[2], CMidi::kDefaultRouteMask);
    EXPECT_EQ(first.inputMasks[135], CMidi::kDefaultRouteMask);
    const CPortMap& second = midi_.output(1).portMap();
    EXPECT_EQ(second.inputBits[0], 0u);
    EXPECT_EQ(second.inputBits[4], 1u << (135 % 32));
}

TEST_F(DeviceManagerTest, StoredMapsAreTranslatedFromSavedOrderAndDropMissingInputs) {
    settings_.selection.inputs = {kCable3, "Gone Device", kCable1};
    settings_.selection.outputs = {kCable2};
    // Saved positions 0 (Loopback 3) and 1 (gone) feed the output; "Corvex Events" too.
    settings_.selection.outputMaps = {storedMap({0, 1}, true, 0x10001)};
    start();
    EXPECT_EQ(midi_.input(2).selectionOrder(), 0);
    EXPECT_EQ(midi_.input(0).selectionOrder(), 2);
    const CPortMap& map = midi_.output(1).portMap();
    EXPECT_EQ(map.inputBits[0], 1u << 2);
    EXPECT_EQ(map.inputMasks[2], 0x10001u);
    EXPECT_EQ(map.inputMasks[0], 0u);
    EXPECT_EQ(map.inputMasks[135], 0x10001u);
    ASSERT_TRUE(midi_.openPorts());
    EXPECT_TRUE(routes(2, 1));
    EXPECT_FALSE(routes(0, 1));
    // Saving keeps the absent device in its place.
    const StoredSelection saved = midi_.saveSelections();
    EXPECT_THAT(saved.inputs, ElementsAre(kCable3, kCable1, "Gone Device"));
    EXPECT_EQ(saved.outputMaps[0]->inputMasks[0], 0x10001u);
    EXPECT_EQ(saved.outputMaps[0]->inputMasks[2], 0x10001u);
}

TEST_F(DeviceManagerTest, CustomNamesAreUsedForLookupAndListing) {
    settings_.customInputNames = {{kCable2, "Keys"}};
    settings_.customOutputNames = {{kCable1, kCable1}}; // same as the device: no custom name
    settings_.selection.inputs = {"Keys"};
    settings_.selection.outputs = {kCable1};
    start();
    EXPECT_EQ(midi_.findInput("Keys"), &midi_.input(1));
    EXPECT_EQ(midi_.findInput(kCable2), nullptr);
    EXPECT_TRUE(midi_.output(0).customName().empty());
    ASSERT_TRUE(midi_.openPorts());
    ui_.monitor.clear();
    midi_.listDeviceInformation();
    EXPECT_THAT(ui_.monitor,
                ElementsAre("DEVICE INFORMATION", "IN:   2) Keys [Corvex Loopback 2]",
                            "OUT:  1) Corvex Loopback 1", "  In: 2) Keys [Corvex Loopback 2]",
                            "    Details/Chan: 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,RT,Sx",
                            "  In: Corvex Events",
                            "    Details/Chan: 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,RT,Sx"));
}

TEST_F(DeviceManagerTest, RenamingASelectedPortKeepsItsSelectionAndRouting) {
    settings_.selection.inputs = {kCable2};
    settings_.selection.outputs = {kCable1};
    start();
    midi_.setCustomNames({{kCable2, "Keys"}}, {{kCable1, "Synth"}});
    EXPECT_EQ(midi_.input(1).displayName(), "Keys");
    const StoredSelection saved = midi_.saveSelections();
    EXPECT_THAT(saved.inputs, ElementsAre("Keys"));
    EXPECT_THAT(saved.outputs, ElementsAre("Synth"));
    EXPECT_NE(saved.outputMaps[0]->inputMasks[0], 0u);
    // The names survive a rebuild of the port objects.
    midi_.closePorts();
    midi_.enumerateDevices();
    midi_.applyCustomNames();
    midi_.restoreSelections();
    EXPECT_TRUE(midi_.input(1).selected());
    EXPECT_EQ(midi_.output(0).displayName(), "Synth");
}

TEST_F(DeviceManagerTest, AutoOpenIsReadFromTheEngineSettingsFile) {
    EXPECT_TRUE(CMidi::autoOpenEnabled());
    ASSERT_TRUE(cvx::profile::writeProfileString(cvx::profile::engineSettingsPath(), "Options",
                                                 "AutoOpen", "0"));
    EXPECT_FALSE(CMidi::autoOpenEnabled());
}

TEST_F(DeviceManagerTest, RouteDataMapsAreListedAndSentAfterOpening) {
    class RecordingReader : public RouteMapReader {
    public:
        bool readRouteMap(const std::string& path,
                          const std::function<void(const SMapper&)>& use) override {
            paths.push_back(path);
            MapItem item{};
            item.sourceChannel = 0xFF;
            item.sourceMessage = MAP_ANY;
            item.targetChannel = 0xFF;
            item.sourceV1Min = item.sourceV1Max = item.sourceV2Min = item.sourceV2Max = 0xFFFF;
            item.targetMessage = MAP_DISCARD;
            SMapper map{};
            map.mapIsOn = 1;
            map.itemCount = 1;
            map.items = &item;
            use(map);
            return true;
        }
        std::vector<std::string> paths;
    } reader;
    settings_.selection.inputs = {kCable1};
    settings_.selection.outputs = {kCable2};
    settings_.selection.routeMaps = {{1, 1, "/maps/drop.vxm"}};
    settings_.verboseDeviceInfo = true;
    midi_.setRouteMapReader(&reader);
    start();
    ASSERT_TRUE(midi_.openPorts());
    EXPECT_THAT(reader.paths, ElementsAre("/maps/drop.vxm"));
    // The route's map discards everything from input 0.
    EXPECT_FALSE(routes(0, 1));
    ui_.monitor.clear();
    midi_.listDeviceInformation();
    EXPECT_TRUE(ui_.monitorHas("    Port Data Map: \"drop.vxm\""));
}

TEST_F(DeviceManagerTest, ClosingAndReopeningFollowsTheSelection) {
    settings_.selection.inputs = {kCable2, kCable3};
    settings_.selection.outputs = {kCable1, kCable2, kCable3};
    start();
    ASSERT_TRUE(midi_.openPorts());
    EXPECT_EQ(midi_.openInputCount(), 2);
    midi_.closePorts();
    EXPECT_FALSE(midi_.portsOpen());
    EXPECT_EQ(InDevOpenCount(midi_.client()), 0);
    EXPECT_TRUE(ui_.monitorHas("Closed MIDI Input"));
    EXPECT_TRUE(ui_.monitorHas("Closed MIDI Output"));
    EXPECT_EQ(midi_.input(0).Close(), 0); // closing a closed port
    ASSERT_TRUE(midi_.reopenPorts());
    EXPECT_EQ(OutDevOpenCount(midi_.client()), 3);
    EXPECT_TRUE(routes(2, 0));
}

TEST_F(DeviceManagerTest, OpenOnAnOpenPortNeitherOpensAgainNorLogs) {
    selectAll();
    start();
    ASSERT_TRUE(midi_.openPorts());
    bool crLf = false;
    const size_t before = readCrLfLines(midi_.logPath(), crLf).size();
    EXPECT_EQ(midi_.input(0).Open(), 1);
    EXPECT_EQ(readCrLfLines(midi_.logPath(), crLf).size(), before);
    EXPECT_EQ(InDevOpenCount(midi_.client()), 3);
}

// Replaces each "Wed 09-Dec-2026 13:05:00" in a log line by "<time>".
std::string withoutTimes(std::string line) {
    const std::string shape = "Aaa 00-Aaa-0000 00:00:00";
    auto fits = [&](size_t at) {
        for (size_t i = 0; i < shape.size(); ++i) {
            const char c = line[at + i];
            const char want = shape[i];
            const bool ok = want == 'A'   ? (c >= 'A' && c <= 'Z')
                            : want == 'a' ? (c >= 'a' && c <= 'z')
                            : want == '0' ? (c >= '0' && c <= '9')
                                          : c == want;
            if (!ok) {
                return false;
            }
        }
        return true;
    };
    for (size_t at = 0; at + shape.size() <= line.size(); ++at) {
        if (fits(at)) {
            line.replace(at, shape.size(), "<time>");
        }
    }
    return line;
}

TEST_F(DeviceManagerTest, TheDeviceLogLinesFollowTheirFormats) {
    settings_.selection.inputs = {kCable1};
    settings_.selection.outputs = {kCable2, "MIDI Mapper"};
    start();
    vmidiFailOpen(1, 1, MMSYSERR_ERROR);
    midi_.openPorts();
    bool crLf = false;
    std::vector<std::string> log = readCrLfLines(midi_.logPath(), crLf);
    EXPECT_TRUE(crLf);
    for (std::string& line : log) {
        line = withoutTimes(line);
    }
    EXPECT_THAT(
        log,
        ElementsAre(" ===> Corvex (64) Version: 1.0", " ===> Device Log Start: <time> ===>",
                    "         Query Devices...", " <=== Corvex (64) Device Log Closed: <time> <===",
                    " ===> Corvex (64) Version: 1.0", " ===> Device Log Start: <time> ===>",
                    " << In:  Begin Open-Device:     0, Corvex Loopback 1",
                    " << In:  Open-Device Succeeded: 0, Corvex Loopback 1",
                    " >> Out: Begin Open-Device:     1, Corvex Loopback 2",
                    " >> Out: Open-Device Failed:    1, Corvex Loopback 2: Driver reported an "
                    "external error \u2014 port may be disabled, muted, or disconnected. "
                    "[MMSYSERR_ERROR: 1]",
                    " >> Out: Begin Open-Device:     3, MIDI Mapper",
                    " >> Out: Open-Device Succeeded: 3, MIDI Mapper",
                    " <=== Corvex (64) Device Log Closed: <time> <==="));
}

TEST_F(DeviceManagerTest, ProfileTwoLogsToItsOwnFile) {
    settings_.profileNumber = 2;
    start();
    EXPECT_THAT(midi_.logPath(), ::testing::EndsWith("/Corvex/_CVXBOOT_2.TXT"));
    bool crLf = false;
    EXPECT_FALSE(readCrLfLines(midi_.logPath(), crLf).empty());
}

TEST_F(DeviceManagerTest, DuplicateNamesGetStableSuffixesAndOpenTheRightDevice) {
    ASSERT_EQ(vmidiAddCable("Twin"), 1);
    ASSERT_EQ(vmidiAddCable("Twin"), 1);
    settings_.selection.inputs = {"Twin #2"};
    settings_.selection.outputs = {"Twin"};
    settings_.selection.outputMaps = {storedMap({0}, false)};
    start();
    ASSERT_EQ(midi_.inputCount(), 5);
    EXPECT_EQ(midi_.input(3).productName(), "Twin");
    EXPECT_EQ(midi_.input(4).productName(), "Twin #2");
    ASSERT_TRUE(midi_.openPorts());
    EXPECT_TRUE(routes(4, 3));
    EXPECT_FALSE(routes(3, 3));
    midi_.closePorts();
    vmidiRemoveCable("Twin");
    vmidiRemoveCable("Twin");
}

// A cable that vanished under an open port can take no buffers: new buffer sizes cannot be
// had, every buffer goes back and SysEx stays off.
TEST_F(DeviceManagerTest, ABufferShortageReleasesAllAndSwitchesSysExOff) {
    ASSERT_EQ(vmidiAddCable("Fading"), 1);
    settings_.selection.inputs = {kCable1, "Fading"};
    settings_.selection.outputs = {kCable2};
    settings_.selection.outputMaps = {storedMap({0}, true, 0x7FFFF)};
    settings_.sysex = SysExBufferConfig{true, 2, 512, 2, 512};
    start();
    ASSERT_TRUE(midi_.openPorts());
    EXPECT_TRUE(ui_.warnings.empty());
    ASSERT_EQ(vmidiRemoveCable("Fading"), 1);
    EXPECT_FALSE(midi_.setSysExBufferSizes(3, 1024, 3, 1024));
    EXPECT_THAT(ui_.warnings,
                ElementsAre("Not enough memory for SysEx In Buffer No. 1 for Fading.\r\n"
                            "Releasing all Input buffers.",
                            "Could not SetBuffer Sizes."));
    EXPECT_FALSE(midi_.sysexConfig().enabled);
    EXPECT_EQ(midi_.sysexConfig().inputCount, 3);
    EXPECT_THAT(ui_.sysexSwitches, ElementsAre(false));
    // No input buffer is left to carry SysEx from Loopback 1 on.
    takeSent(1);
    const unsigned char sysex[] = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
    vmidiFeed(0, sysex, sizeof sysex);
    EXPECT_FALSE(eventually(
        [] {
            vmidiSettle();
            return !takeSent(1).empty();
        },
        std::chrono::milliseconds(300)));
}

TEST_F(DeviceManagerTest, SwitchingSysExOnWithAShortageLeavesItOff) {
    ASSERT_EQ(vmidiAddCable("Fading"), 1);
    settings_.selection.inputs = {kCable1, "Fading"};
    settings_.selection.outputs = {kCable2};
    start();
    ASSERT_TRUE(midi_.openPorts());
    ASSERT_EQ(vmidiRemoveCable("Fading"), 1);
    ASSERT_FALSE(midi_.switchSysExOn());
    EXPECT_THAT(ui_.warnings,
                ElementsAre("Not enough memory for SysEx In Buffer No. 1 for Fading.\r\n"
                            "Releasing all Input buffers."));
    EXPECT_FALSE(midi_.sysexConfig().enabled);
    EXPECT_TRUE(ui_.sysexSwitches.empty()); // it was off and stays off
}

// However SysEx comes on (switched on, or on when the ports open), the buffers are at least
// the minimums, each raise is said, and the raised values are handed on to be stored.
TEST_F(DeviceManagerTest, SysExMinimumsApplyWhenSwitchedOnAndWhenOpening) {
    settings_.selection.inputs = {kCable1};
    settings_.selection.outputs = {kCable2};
    settings_.selection.outputMaps = {storedMap({0}, true, 0x7FFFF)};
    for (const bool byOpening : {false, true}) {
        SCOPED_TRACE(byOpening ? "opening with SysEx on" : "switching SysEx on");
        midi_.closePorts();
        midi_.destroyClient();
        settings_.sysex = SysExBufferConfig{byOpening, 1, 0, 1, 0};
        start();
        ui_.warnings.clear();
        ui_.bufferChanges.clear();
        ASSERT_TRUE(byOpening ? midi_.openPorts() : midi_.switchSysExOn());
        EXPECT_THAT(
            ui_.warnings,
            ElementsAre("Selected number of input SysEx buffers is less than 2! Defaulting to 2",
                        "Selected size of input SysEx buffers is Zero! Defaulting to 256",
                        "Selected number of output SysEx buffers is less than 2! Defaulting to 2",
                        "Selected size of output SysEx buffers is Zero! Defaulting to 256"));
        const SysExBufferConfig raised{true, 2, 256, 2, 256};
        EXPECT_EQ(midi_.sysexConfig(), raised);
        ASSERT_FALSE(ui_.bufferChanges.empty());
        SysExBufferConfig reported = ui_.bufferChanges.back();
        reported.enabled = true; // reported before the buffers were had
        EXPECT_EQ(reported, raised);
    }
}

// A profile's buffer settings reach ports that are already open, switching SysEx as it says.
TEST_F(DeviceManagerTest, AppliedBufferSettingsRenewTheOpenPorts) {
    settings_.selection.inputs = {kCable1};
    settings_.selection.outputs = {kCable2};
    start();
    ASSERT_TRUE(midi_.openPorts());
    ASSERT_TRUE(midi_.sysexBuffers().apply({true, 3, 512, 4, 1024}));
    EXPECT_EQ(midi_.sysexConfig(), (SysExBufferConfig{true, 3, 512, 4, 1024}));
    EXPECT_TRUE(midi_.sysexBuffers().apply({false, 1, 0, 5, 256}));
    EXPECT_EQ(midi_.sysexConfig(), (SysExBufferConfig{false, 1, 0, 5, 256}));
    EXPECT_THAT(ui_.sysexSwitches, ElementsAre(true, false));
    EXPECT_TRUE(ui_.warnings.empty());
}

TEST_F(DeviceManagerTest, SysExPassesThroughOpenedPortsWithBuffers) {
    settings_.selection.inputs = {kCable1};
    settings_.selection.outputs = {kCable2};
    settings_.selection.outputMaps = {storedMap({0}, true, 0x7FFFF)};
    settings_.sysex = SysExBufferConfig{true, 4, 1024, 4, 1024};
    start();
    ASSERT_TRUE(midi_.openPorts());
    EXPECT_TRUE(ui_.warnings.empty());
    takeSent(1);
    const unsigned char sysex[] = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
    vmidiFeed(0, sysex, sizeof sysex);
    std::vector<unsigned char> sent;
    EXPECT_TRUE(eventually([&] {
        vmidiSettle();
        const std::vector<unsigned char> more = takeSent(1);
        sent.insert(sent.end(), more.begin(), more.end());
        return sent.size() >= sizeof sysex;
    }));
    EXPECT_EQ(sent, std::vector<unsigned char>(sysex, sysex + sizeof sysex));
}

TEST_F(DeviceManagerTest, ListingsOfRunningStatusAndTheDataMap) {
    settings_.selection.outputs = {kCable1};
    start();
    ASSERT_TRUE(midi_.openPorts());
    midi_.sendRunStatus(true);
    corvexEventDirect(midi_.client(), 0, 0x92, 60, 100, 0);
    MapItem items[2] = {};
    items[0] =
        MapItem{0,        MAP_NOTE_ON, 0, 127,    0xFFFF, 0xFFFF, 1,
                MAP_CTRL, 7,           7, 0xFFFF, 0xFFFF, 0,      MAPITEM_CLONE | MAPITEM_PULL_V1};
    uint8_t pool[16] = {'S', 'Y', 'X', 0, 4, 0, 0xF0, 0x41, 0x10, 0xF7};
    items[1] = MapItem{0xFF, MAP_PROG_CHG, 5, 5, 0xFFFF, 0xFFFF, 0, MAP_SYSEX, 0, 0, 0, 0, 4, 0};
    SMapper map{};
    map.mapOptions = MAP_WAIT_FOR_FULL_NRPN;
    map.mapIsOn = 1;
    map.itemCount = 2;
    map.items = items;
    map.sysexLength = 10;
    map.sysexPool = pool;
    EXPECT_EQ(midi_.sendMap(map, 0, 55), 1);
    ui_.monitor.clear();
    midi_.listRunningStatus();
    midi_.listDataMap();
    EXPECT_THAT(
        ui_.monitor,
        ElementsAre("Corvex Loopback 1: RunStatus: ON. Status: 92", "DATA MAP",
                    "Ch Message V1Min V1Max V2Min V2Max C|Ch Message V1Min V1Max V2Min V2Max Ac",
                    " 1 NoteOn      0   127     *     * Y| 2 Ctrl        7     7     *     * > ",
                    " * ProgChg     5     5     *     *  | 1 SysEx   F0 41 10 F7",
                    "Wait for complete NRPN: On, NRPN Data Incr: Off, Send Full NRPN: Off",
                    "Map is: On, PC Keyboard Mapping: Off"));
}

TEST_F(DeviceManagerTest, NoDevicesAtAllIsOneNotice) {
    class EmptyQuery : public PlatformDeviceQuery {
    public:
        unsigned inputCount() override { return 0; }
        unsigned outputCount() override { return 0; }
    } empty;
    CMidi bare(ui_, guard_, empty);
    bare.enumerateDevices();
    EXPECT_THAT(ui_.warnings, ElementsAre("There are no MIDI input devices.\n\nThere are no MIDI "
                                          "output devices."));
    EXPECT_EQ(bare.inputCount(), 0);
    EXPECT_EQ(bare.outputCount(), 1);
}

} // namespace
} // namespace corvex::testing
