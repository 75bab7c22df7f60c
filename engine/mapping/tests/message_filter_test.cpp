#include "mapping/message_filter.h"

#include "map_harness.h"

#include <gtest/gtest.h>

namespace cvx::mapping {
namespace {

using testing::cc;
using testing::msg;
using testing::noteOn;

TEST(FilterTest, ChannelBitsFilterChannelMessagesOnly) {
    CFilter filter{};
    filter.filterFlags = 1u << 2; // channel 3
    EXPECT_TRUE(isFiltered(noteOn(2, 60, 100), filter));
    EXPECT_TRUE(isFiltered(cc(2, 7, 1), filter));
    EXPECT_FALSE(isFiltered(noteOn(3, 60, 100), filter));
    EXPECT_FALSE(isFiltered(msg(0xF2), filter)); // low nibble 2 is not a channel here
    EXPECT_FALSE(isFiltered(msg(0x02), filter)); // a data byte is no channel message
}

TEST(FilterTest, NoteOnWithVelocityZeroCountsAsNoteOff) {
    CFilter noteOff{};
    noteOff.filterFlags = CVX_FILTER_NOTE_OFF;
    EXPECT_TRUE(isFiltered(noteOn(0, 60, 0), noteOff));
    EXPECT_TRUE(isFiltered(msg(0x80, 60, 64), noteOff));
    EXPECT_FALSE(isFiltered(noteOn(0, 60, 1), noteOff));

    CFilter noteOn_{};
    noteOn_.filterFlags = CVX_FILTER_NOTE_ON;
    EXPECT_FALSE(isFiltered(noteOn(0, 60, 0), noteOn_));
    EXPECT_TRUE(isFiltered(noteOn(0, 60, 1), noteOn_));
}

TEST(FilterTest, ControllerBitmapDecidesOnlyWithControlChangeBit) {
    CFilter filter{};
    filter.controllerFilter[0] = 1u << 7; // controller 7
    EXPECT_FALSE(isFiltered(cc(0, 7, 100), filter));
    filter.filterFlags = CVX_FILTER_CONTROL_CHANGE;
    EXPECT_TRUE(isFiltered(cc(0, 7, 100), filter));
    EXPECT_FALSE(isFiltered(cc(0, 10, 100), filter));
    filter.controllerFilter[15] = 0x80; // controller 127
    EXPECT_TRUE(isFiltered(cc(0, 127, 0), filter));
    // An injected controller number above 127 must not index past the bitmap.
    EXPECT_TRUE(isFiltered(msg(0xB0, 0xFF, 0), filter));
}

TEST(FilterTest, EachChannelKindHasItsBit) {
    struct Case {
        uint32_t bit;
        uint8_t status;
    } cases[] = {{CVX_FILTER_KEY_AFTERTOUCH, 0xA5},     {CVX_FILTER_PROGRAM_CHANGE, 0xC5},
                 {CVX_FILTER_CHANNEL_AFTERTOUCH, 0xD5}, {CVX_FILTER_PITCH_BEND, 0xE5},
                 {CVX_FILTER_NOTE_OFF, 0x85},           {CVX_FILTER_NOTE_ON, 0x95}};
    for (const Case& c : cases) {
        CFilter filter{};
        filter.filterFlags = c.bit;
        for (const Case& other : cases) {
            EXPECT_EQ(isFiltered(msg(other.status, 1, 1), filter), other.bit == c.bit)
                << std::hex << c.bit << " on " << int(other.status);
        }
    }
}

TEST(FilterTest, SystemMessagesUseTheSystemMask) {
    struct Case {
        uint8_t status;
        uint32_t bit;
    } cases[] = {{0xF1, CVX_SYSFILTER_F1}, {0xF2, CVX_SYSFILTER_F2}, {0xF3, CVX_SYSFILTER_F3},
                 {0xF6, CVX_SYSFILTER_F6}, {0xF8, CVX_SYSFILTER_F8}, {0xFA, CVX_SYSFILTER_FA},
                 {0xFB, CVX_SYSFILTER_FB}, {0xFC, CVX_SYSFILTER_FC}, {0xFE, CVX_SYSFILTER_FE},
                 {0xFF, CVX_SYSFILTER_FF}};
    for (const Case& c : cases) {
        CFilter filter{};
        filter.systemFilter = c.bit;
        EXPECT_TRUE(isFiltered(msg(c.status), filter)) << std::hex << int(c.status);
        filter.systemFilter = ~c.bit;
        EXPECT_FALSE(isFiltered(msg(c.status), filter)) << std::hex << int(c.status);
    }
}

TEST(FilterTest, UnlistedStatusesAndGroupSummariesNeverFilter) {
    CFilter all{};
    all.filterFlags = 0xFFFFFFFFu;
    all.systemFilter = 0xFFFFFFFFu;
    for (uint8_t status : {0xF0, 0xF4, 0xF5, 0xF7, 0xF9, 0xFD, 0x00, 0x7F}) {
        EXPECT_FALSE(isFiltered(msg(status), all)) << std::hex << int(status);
    }
    CFilter summaries{};
    summaries.filterFlags = CVX_FILTER_SYSTEM_COMMON | CVX_FILTER_SYSTEM_REALTIME;
    EXPECT_FALSE(isFiltered(msg(0xF8), summaries));
    EXPECT_FALSE(isFiltered(msg(0xF2), summaries));
}

} // namespace
} // namespace cvx::mapping
