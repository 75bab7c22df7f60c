// The filter dialog's model: every bit through the boxes and back, the group boxes' three
// states and clicks, and the bits OK clears.
#include "mapping/filter_model.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvex {
namespace {

CFilter filterOf(uint32_t flags, uint32_t system, std::vector<int> controllers = {}) {
    CFilter filter{};
    filter.filterFlags = flags;
    filter.systemFilter = system;
    for (int controller : controllers) {
        setControllerFiltered(filter, controller, true);
    }
    return filter;
}

// Every single bit the dialog owns survives opening and OK; a group's summary bit only with
// a bit of its group.
TEST(FilterEditorTest, EveryDialogBitRoundTrips) {
    std::vector<uint32_t> bits;
    for (int bit = 0; bit < 16; ++bit) {
        bits.push_back(1u << bit);
    }
    for (const FilterBit& box : filterMessageTypeBoxes()) {
        bits.push_back(box.mask);
    }
    bits.insert(bits.end(), {CVX_FILTER_DATA, CVX_FILTER_RAW_MONITOR, CVX_FILTER_NO_SYSEX_CHUNKS});
    for (uint32_t bit : bits) {
        SCOPED_TRACE(bit);
        const CFilter start = filterOf(bit, 0);
        EXPECT_EQ(FilterEditor(start).result().filterFlags, bit);
    }
    const struct {
        uint32_t summary;
        uint32_t system;
        std::vector<int> controllers;
    } groups[] = {
        {CVX_FILTER_CONTROL_CHANGE, 0, {7}},
        {CVX_FILTER_SYSTEM_COMMON, CVX_SYSFILTER_F2, {}},
        {CVX_FILTER_SYSTEM_REALTIME, CVX_SYSFILTER_FE, {}},
    };
    for (const auto& group : groups) {
        const CFilter start = filterOf(group.summary, group.system, group.controllers);
        const CFilter result = FilterEditor(start).result();
        EXPECT_EQ(result.filterFlags, group.summary);
        EXPECT_EQ(result.systemFilter, group.system);
        // Without a bit in its group, the summary is dropped.
        EXPECT_EQ(FilterEditor(filterOf(group.summary, 0)).result().filterFlags, 0u);
    }
}

TEST(FilterEditorTest, OkClearsUnownedBitsAndKeepsDetailBits) {
    const CFilter start = filterOf(0xFFFFFFFFu, 0xFFFFFFFFu, {0, 1, 2, 3, 4, 5, 6, 7, 64, 127});
    const CFilter result = FilterEditor(start).result();
    EXPECT_EQ(result.filterFlags,
              0xFFFFFFFFu & ~((1u << 23) | (1u << 26) | (1u << 30) | (1u << 31)));
    EXPECT_EQ(result.systemFilter, 0xFFFFFFFFu); // bits outside the groups are carried
    EXPECT_EQ(result.controllerFilter[0], 0xFF);
    EXPECT_EQ(result.controllerFilter[8], 0x01);
    EXPECT_EQ(result.controllerFilter[15], 0x80);
}

// A cleared box stays cleared: OK assigns the boxes, it does not add to the old word.
TEST(FilterEditorTest, ClearedBoxesStayCleared) {
    FilterEditor editor(filterOf(
        0x0000FFFFu | CVX_FILTER_NOTE_ON | CVX_FILTER_DATA | CVX_FILTER_SYSTEM_REALTIME, 0x3F00));
    editor.setAllChannels(false);
    editor.setMessageType(CVX_FILTER_NOTE_ON, false);
    editor.setDataAsWellAsDisplay(false);
    editor.setDisplaySysEx(false);
    EXPECT_FALSE(editor.clickGroup(FilterGroup::SystemRealtime)); // all -> none
    const CFilter result = editor.result();
    EXPECT_EQ(result.filterFlags, CVX_FILTER_NO_SYSEX_CHUNKS);
    EXPECT_EQ(result.systemFilter, 0u);
    EXPECT_FALSE(filterIsActive(result));
}

TEST(FilterEditorTest, GroupBoxStatesAndClicks) {
    // Bit 19 clear with controllers selected: the box opens unchecked and OK keeps both.
    FilterEditor cc(filterOf(0, 0, {1, 7}));
    EXPECT_EQ(cc.box(FilterGroup::Controllers), BoxState::Unchecked);
    EXPECT_EQ(cc.groupState(FilterGroup::Controllers), BoxState::Partial);
    EXPECT_EQ(cc.result().filterFlags, 0u);
    EXPECT_TRUE(controllerFiltered(cc.result(), 7));
    // Some -> all, all -> none, none -> the detail dialog opens instead.
    EXPECT_FALSE(cc.clickGroup(FilterGroup::Controllers));
    EXPECT_EQ(cc.box(FilterGroup::Controllers), BoxState::Checked);
    EXPECT_TRUE(controllerFiltered(cc.result(), 100));
    EXPECT_FALSE(cc.clickGroup(FilterGroup::Controllers));
    EXPECT_EQ(cc.box(FilterGroup::Controllers), BoxState::Unchecked);
    EXPECT_TRUE(cc.clickGroup(FilterGroup::Controllers));

    // Two of four system common entries: grey, and OK sets bit 24; all four: checked.
    FilterEditor common(filterOf(0, 0));
    const bool two[] = {true, false, true, false};
    common.setEntries(FilterGroup::SystemCommon, two);
    EXPECT_EQ(common.box(FilterGroup::SystemCommon), BoxState::Partial);
    EXPECT_EQ(common.result().filterFlags, CVX_FILTER_SYSTEM_COMMON);
    EXPECT_EQ(common.result().systemFilter, CVX_SYSFILTER_F1 | CVX_SYSFILTER_F3);
    const bool four[] = {true, true, true, true};
    common.setEntries(FilterGroup::SystemCommon, four);
    EXPECT_EQ(common.box(FilterGroup::SystemCommon), BoxState::Checked);
}

TEST(FilterEditorTest, ListTexts) {
    EXPECT_EQ(controllerEntryName(0), "0-Bank Select MSB");
    EXPECT_EQ(controllerEntryName(3), "3");
    EXPECT_EQ(controllerEntryName(127), "127-Poly");
    EXPECT_EQ(systemCommonEntries().size(), 4u);
    EXPECT_EQ(systemRealtimeEntries().size(), 6u);
    EXPECT_STREQ(systemRealtimeEntries()[4].caption, "FE-Active Sensing");
    EXPECT_TRUE(filterIsActive(filterOf(CVX_FILTER_SYSTEM_REALTIME, 0x3F00)));
    EXPECT_FALSE(filterIsActive(filterOf(CVX_FILTER_DATA | CVX_FILTER_RAW_MONITOR, 0)));
}

} // namespace
} // namespace corvex
