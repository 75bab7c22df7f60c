#include "smf/play_list.h"
#include "smf/smf_reader.h"
#include "smf/tempo_map.h"
#include "smf_bytes.h"

#include <gtest/gtest.h>

namespace corvex::smf {
namespace {

using namespace test;

PlayList playList(const Bytes& bytes) {
    return PlayList::fromFile(readMidiFile(bytes));
}

std::vector<int64_t> times(const PlayList& list) {
    std::vector<int64_t> out;
    for (const PlayEvent& e : list.events()) {
        out.push_back(e.timeMicroseconds);
    }
    return out;
}

TEST(TempoMap, ConvertsTicksThroughTempoChanges) {
    TimeDivision division;
    division.ticksPerQuarter = 96;
    TempoMap map(division, {{96, 250000}, {192, 1000000}, {192, 2000000}});
    EXPECT_DOUBLE_EQ(map.microsecondsAt(0), 0);
    EXPECT_DOUBLE_EQ(map.microsecondsAt(48), 250000);
    EXPECT_DOUBLE_EQ(map.microsecondsAt(96), 500000);
    EXPECT_DOUBLE_EQ(map.microsecondsAt(144), 625000);
    EXPECT_DOUBLE_EQ(map.microsecondsAt(192), 750000);
    EXPECT_DOUBLE_EQ(map.microsecondsAt(240), 750000 + 1000000); // the later change at 192 holds
    EXPECT_EQ(map.finalMicrosecondsPerQuarter(), 2000000u);

    TimeDivision smpte;
    smpte.smpte = true;
    smpte.framesPerSecond = 30;
    smpte.ticksPerFrame = 100;
    TempoMap absolute(smpte, {{0, 100}});
    EXPECT_NEAR(absolute.microsecondsAt(3000), 1e6, 1e-6); // tempo does not apply
}

TEST(PlayList, MergesFormatOneTracksUnderTheTempoOfAnyTrack) {
    PlayList list = playList(file({
        header(1, 2, 100),
        track({tempo(0, 1000000), tempo(100, 500000), endOfTrack()}),
        track({event(50, {0x90, 60, 1}), event(0, {0xFF, 0x01, 0x00}), event(100, {0x80, 60, 0}),
               event(0, {0xF0, 0x02, 0x7E, 0xF7}), endOfTrack(100)}),
    }));
    EXPECT_EQ(times(list), (std::vector<int64_t>{500000, 1250000, 1250000}));
    EXPECT_EQ(list.bytes(list.events()[2]).size(), 3u);
    EXPECT_EQ(list.bytes(list.events()[2])[0], 0xF0);
    EXPECT_EQ(list.lengthMilliseconds(), 1750);
    EXPECT_EQ(list.firstAtOrAfter(500001), 1u);
    EXPECT_EQ(list.firstAtOrAfter(3000000), 3u);
}

TEST(PlayList, EventsAtOneTimeKeepTrackOrderThenFileOrder) {
    PlayList list = playList(file({
        header(1, 2, 96),
        track({event(10, {0xB0, 7, 1}), event(0, {0xB0, 7, 2}), endOfTrack()}),
        track({event(0, {0xB1, 7, 3}), event(10, {0xB1, 7, 4}), endOfTrack()}),
    }));
    std::vector<uint8_t> values;
    for (const PlayEvent& e : list.events()) {
        values.push_back(list.bytes(e)[2]);
    }
    EXPECT_EQ(values, (std::vector<uint8_t>{3, 1, 2, 4}));
}

TEST(PlayList, PlaysFormatTwoTracksOneAfterAnother) {
    PlayList list = playList(file({
        header(2, 3, 96),
        track({tempo(0, 1000000), event(96, {0x90, 60, 1}), endOfTrack(96)}),
        track({event(96, {0x90, 62, 1}), endOfTrack()}), // continues at 1 s per quarter
        track({tempo(0, 500000), event(96, {0x90, 64, 1}), endOfTrack()}),
    }));
    EXPECT_EQ(times(list), (std::vector<int64_t>{1000000, 3000000, 3500000}));
    EXPECT_EQ(list.lengthMilliseconds(), 3500);
}

TEST(PlayList, SmpteFilesPlayInAbsoluteTime) {
    PlayList list = playList(file({
        header(0, 1, 0xE728), // 25 frames of 40 ticks: 1 ms per tick
        track({tempo(0, 100000), event(1234, {0x90, 60, 1}), endOfTrack(766)}),
    }));
    EXPECT_EQ(times(list), (std::vector<int64_t>{1234000}));
    EXPECT_EQ(list.lengthMilliseconds(), 2000);
}

TEST(PlayList, HugeTimesSaturateInsteadOfOverflowing) {
    Bytes body;
    for (int i = 0; i < 300; ++i) {
        append(body, event(0x0FFFFFFF, {0x90, 60, 1}));
    }
    append(body, endOfTrack());
    Bytes one = file({varLen(0), {0xFF, 0x51, 0x03, 0xFF, 0xFF, 0xFF}, body});
    PlayList list = playList(
        file({header(2, 3, 1), chunk("MTrk", one), chunk("MTrk", one), chunk("MTrk", one)}));
    int64_t previous = 0;
    for (const PlayEvent& e : list.events()) {
        EXPECT_GE(e.timeMicroseconds, previous);
        previous = e.timeMicroseconds;
    }
    EXPECT_GE(list.lengthMicroseconds(), previous);
}

} // namespace
} // namespace corvex::smf
