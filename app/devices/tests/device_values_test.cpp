// The device manager's pure parts: error names and texts, log times, duplicate names, the
// buffer fields, the per-connection data maps and the stored selection across changes.
#include "device_log.h"
#include "midi_device_query.h"
#include "open_errors.h"
#include "port_data_map.h"
#include "selection_memory.h"
#include "sysex_buffer_fields.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <clocale>

namespace corvex {
namespace {

using ::testing::ElementsAre;

TEST(OpenErrors, NamesCoverBothRangesAndUnknownCodes) {
    EXPECT_STREQ(openErrorName(0), "MMSYSERR_NOERROR");
    EXPECT_STREQ(openErrorName(21), "MMSYSERR_MOREDATA");
    EXPECT_STREQ(openErrorName(22), "MMRESULT_UNKNOWN");
    EXPECT_STREQ(openErrorName(64), "MIDIERR_UNPREPARED");
    EXPECT_STREQ(openErrorName(71), "MIDIERR_DONT_CONTINUE");
    EXPECT_STREQ(openErrorName(72), "MMRESULT_UNKNOWN");
    EXPECT_STREQ(openErrorName(0xFFFFFFFFu), "MMRESULT_UNKNOWN");
}

TEST(OpenErrors, DescriptionsUseOurTextsOrTheServiceText) {
    EXPECT_EQ(describeOpenError(6, "Synth", PortDirection::Output),
              "Synth: MIDI port is no longer available (device disconnected or "
              "re-enumerating). [MMSYSERR_NODRIVER: 6]");
    EXPECT_EQ(openErrorText(2, PortDirection::Input), openErrorText(6, PortDirection::Input));
    char serviceText[512] = {};
    midiOutGetErrorText(MIDIERR_NODEVICE, serviceText, sizeof serviceText);
    EXPECT_EQ(describeOpenError(MIDIERR_NODEVICE, "", PortDirection::Output),
              std::string("Unknown: ") + serviceText + " [MIDIERR_NODEVICE: 68]");
}

TEST(OpenErrors, LongDescriptionsAreCutAtACharacterBoundary) {
    const std::string name(474, 'x'); // the em dash then straddles the limit
    const std::string text = describeOpenError(1, name, PortDirection::Input);
    EXPECT_LE(text.size(), 511u);
    // The cut never leaves the first bytes of a character behind.
    const auto last = static_cast<unsigned char>(text.back());
    EXPECT_NE(last & 0xC0, 0xC0);
    EXPECT_EQ(last & 0x80, 0);
}

TEST(DeviceLogTime, EnglishNamesWhateverTheLocale) {
    std::setlocale(LC_TIME, "de_DE.UTF-8");
    std::tm time{};
    time.tm_wday = 3;
    time.tm_mday = 9;
    time.tm_mon = 11;
    time.tm_year = 126;
    time.tm_hour = 7;
    time.tm_min = 5;
    time.tm_sec = 3;
    EXPECT_EQ(deviceLogTime(time), "Wed 09-Dec-2026 07:05:03");
    std::setlocale(LC_TIME, "C");
}

TEST(DeviceLogPath, ProfilesAboveOneGetTheirOwnLog) {
    EXPECT_THAT(deviceLogPath(1), ::testing::EndsWith("/Corvex/_CVXBOOT.TXT"));
    EXPECT_THAT(deviceLogPath(0), ::testing::EndsWith("/Corvex/_CVXBOOT.TXT"));
    EXPECT_THAT(deviceLogPath(3), ::testing::EndsWith("/Corvex/_CVXBOOT_3.TXT"));
}

TEST(DuplicateNames, LaterDevicesGetNumberedInListOrder) {
    std::vector<std::string> names = {"Interface", "Synth", "Interface", "Interface #2",
                                      "Interface"};
    numberDuplicateNames(names);
    EXPECT_THAT(names,
                ElementsAre("Interface", "Synth", "Interface #3", "Interface #2", "Interface #4"));
}

TEST(SysExBufferFields, OutOfRangeValuesAreCorrectedAndReported) {
    CorrectedBufferFields fields = correctBufferFields({8192, 0, 70000, -3});
    EXPECT_EQ(fields.inputSize, 8192);
    EXPECT_EQ(fields.inputCount, 1);
    EXPECT_EQ(fields.outputSize, 65535);
    EXPECT_EQ(fields.outputCount, 1);
    EXPECT_TRUE(fields.adjusted);
    fields = correctBufferFields({1, 32767, 65535, 8});
    EXPECT_FALSE(fields.adjusted);
    EXPECT_EQ(fields.inputCount, 32767);
}

TEST(PortDataMap, EntriesStaySortedOnePerPair) {
    CPortDataMap maps;
    EXPECT_TRUE(maps.add(2, 135, "/m/c.vxm"));
    EXPECT_TRUE(maps.add(0, 3, "/m/b.vxm"));
    EXPECT_TRUE(maps.add(0, 1, "/m/a.vxm"));
    EXPECT_FALSE(maps.add(0, 1, "/m/other.vxm"));
    EXPECT_FALSE(maps.add(1, 1, ""));
    ASSERT_EQ(maps.entries().size(), 3u);
    EXPECT_EQ(maps.entries()[0].input, 1);
    EXPECT_EQ(maps.entries()[2].output, 2);
    EXPECT_EQ(maps.find(0, 3), "/m/b.vxm");
    EXPECT_EQ(maps.find(1, 3), std::nullopt);
    EXPECT_TRUE(maps.remove(0, 3));
    EXPECT_FALSE(maps.remove(0, 3));
    EXPECT_EQ(maps.find(2, 135), "/m/c.vxm");
}

CPortMap mapOf(std::initializer_list<std::pair<int, uint32_t>> routes) {
    CPortMap map{};
    for (const auto& [input, mask] : routes) {
        map.inputMasks[input] = mask;
        map.inputBits[input / 32] |= 1u << (input % 32);
    }
    return map;
}

TEST(SelectionMemory, AbsentDevicesKeepTheirPlaceRoutingAndDataMaps) {
    StoredSelection previous;
    previous.inputs = {"Keys", "Pads"};
    previous.outputs = {"Synth", "Sampler"};
    previous.outputMaps = {mapOf({{0, 1}, {1, 2}, {135, 3}}), mapOf({{0, 4}})};
    previous.routeMaps = {{1, 2, "/m/pads.vxm"}, {2, 0, "/m/cvx.vxm"}, {1, 1, "/m/keys.vxm"}};

    // Now "Pads" and "Sampler" are gone; "Keys" and "Synth" are selected as before.
    StoredSelection current;
    current.inputs = {"Keys"};
    current.outputs = {"Synth"};
    current.outputMaps = {mapOf({{0, 1}, {135, 3}})};
    current.routeMaps = {{1, 1, "/m/keys.vxm"}};

    const StoredSelection merged =
        mergeSelections(current, previous, {"Keys", "Other"}, {"Synth", "MIDI Mapper"});
    EXPECT_THAT(merged.inputs, ElementsAre("Keys", "Pads"));
    EXPECT_THAT(merged.outputs, ElementsAre("Synth", "Sampler"));
    ASSERT_EQ(merged.outputMaps.size(), 2u);
    EXPECT_EQ(merged.outputMaps[0]->inputMasks[1], 2u); // Pads -> Synth kept
    EXPECT_EQ(merged.outputMaps[0]->inputBits[0], 0x3u);
    EXPECT_EQ(merged.outputMaps[0]->inputMasks[135], 3u);
    EXPECT_EQ(merged.outputMaps[1]->inputMasks[0], 4u); // Keys -> Sampler kept
    EXPECT_THAT(merged.routeMaps, ElementsAre(StoredRouteMap{1, 1, "/m/keys.vxm"},
                                              StoredRouteMap{1, 2, "/m/pads.vxm"},
                                              StoredRouteMap{2, 0, "/m/cvx.vxm"}));
}

TEST(SelectionMemory, APresentDeviceTheUserDeselectedIsForgotten) {
    StoredSelection previous;
    previous.inputs = {"Keys"};
    previous.outputs = {"Synth"};
    previous.outputMaps = {mapOf({{0, 1}})};
    StoredSelection current;
    current.outputs = {"Synth"};
    current.outputMaps = {CPortMap{}};
    const StoredSelection merged = mergeSelections(current, previous, {"Keys"}, {"Synth"});
    EXPECT_TRUE(merged.inputs.empty());
    EXPECT_EQ(merged.outputMaps[0]->inputMasks[0], 0u);
}

} // namespace
} // namespace corvex
