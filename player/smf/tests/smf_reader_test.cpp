#include "smf/smf_reader.h"
#include "smf_bytes.h"

#include <gtest/gtest.h>

namespace corvex::smf {
namespace {

using namespace test;

Bytes eventBytes(const MidiFile& file, const TrackEvent& event) {
    auto bytes = file.bytes(event);
    return {bytes.begin(), bytes.end()};
}

TEST(SmfReader, ReadsFormatZeroWithRunningStatusAndMetaEvents) {
    MidiFile midi = readMidiFile(file({
        header(0, 1, 96),
        track({event(0, {0xFF, 0x01, 0x02, 'h', 'i'}), event(0, {0xFF, 0x58, 0x04, 4, 2, 24, 8}),
               event(0, {0x90, 60, 100}), event(10, {62, 90}), event(5, {0xC1, 7}), event(1, {9}),
               event(200, {0x80, 60, 0}), endOfTrack(40)}),
    }));
    EXPECT_EQ(midi.format, 0);
    EXPECT_FALSE(midi.division.smpte);
    EXPECT_EQ(midi.division.ticksPerQuarter, 96);
    EXPECT_TRUE(midi.warnings.empty());
    ASSERT_EQ(midi.tracks.size(), 1u);
    const auto& events = midi.tracks[0].events;
    ASSERT_EQ(events.size(), 7u);
    EXPECT_EQ(events[0].kind, EventKind::Meta);
    EXPECT_EQ(events[0].metaType, meta::kText);
    EXPECT_EQ(eventBytes(midi, events[0]), (Bytes{'h', 'i'}));
    EXPECT_EQ(events[1].metaType, meta::kTimeSignature);
    EXPECT_EQ(eventBytes(midi, events[2]), (Bytes{0x90, 60, 100}));
    EXPECT_EQ(eventBytes(midi, events[3]), (Bytes{0x90, 62, 90}));
    EXPECT_EQ(events[3].tick, 10u);
    EXPECT_EQ(eventBytes(midi, events[4]), (Bytes{0xC1, 7}));
    EXPECT_EQ(eventBytes(midi, events[5]), (Bytes{0xC1, 9}));
    EXPECT_EQ(events[5].tick, 16u);
    EXPECT_EQ(events[6].tick, 216u);
    EXPECT_EQ(midi.tracks[0].endTick, 256u);
}

TEST(SmfReader, ReadsSysExWithLongLengthsAndEscapes) {
    Bytes longSysEx = {0xF0};
    append(longSysEx, varLen(201));
    for (int i = 0; i < 200; ++i) {
        longSysEx.push_back(static_cast<uint8_t>(i & 0x7F));
    }
    longSysEx.push_back(0xF7);
    MidiFile midi = readMidiFile(file({
        header(1, 1, 480),
        track({file({varLen(0), longSysEx}), event(0, {0xF0, 0x03, 0x43, 0x12, 0x00}),
               event(10, {0xF7, 0x02, 0x43, 0xF7}), event(0, {0xF7, 0x01, 0xF8}), endOfTrack()}),
    }));
    const auto& events = midi.tracks[0].events;
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].kind, EventKind::SysEx);
    EXPECT_EQ(events[0].length, 201u);
    EXPECT_EQ(midi.bytes(events[0]).back(), 0xF7);
    EXPECT_EQ(eventBytes(midi, events[1]), (Bytes{0x43, 0x12, 0x00}));
    EXPECT_EQ(events[2].kind, EventKind::SysExEscape);
    EXPECT_EQ(eventBytes(midi, events[2]), (Bytes{0x43, 0xF7}));
    EXPECT_EQ(eventBytes(midi, events[3]), (Bytes{0xF8}));
}

TEST(SmfReader, ReadsSmpteDivisions) {
    MidiFile midi = readMidiFile(file({header(0, 1, 0xE728), track({endOfTrack()})}));
    EXPECT_TRUE(midi.division.smpte);
    EXPECT_EQ(midi.division.framesPerSecond, 25);
    EXPECT_EQ(midi.division.ticksPerFrame, 40);
    EXPECT_DOUBLE_EQ(midi.division.smpteMicrosecondsPerTick(), 1000.0);

    MidiFile dropFrame = readMidiFile(file({header(0, 1, 0xE302), track({endOfTrack()})}));
    EXPECT_EQ(dropFrame.division.framesPerSecond, 29);
    EXPECT_NEAR(dropFrame.division.smpteMicrosecondsPerTick(), 1e6 / (2 * 30000.0 / 1001.0), 1e-6);
}

TEST(SmfReader, ReadsTheMidiDataOfARiffContainer) {
    Bytes smf = file({header(0, 1, 96), track({event(0, {0x90, 60, 1}), endOfTrack()})});
    Bytes riff = {'R',
                  'I',
                  'F',
                  'F',
                  0,
                  0,
                  0,
                  0,
                  'R',
                  'M',
                  'I',
                  'D',
                  'd',
                  'a',
                  't',
                  'a',
                  static_cast<uint8_t>(smf.size()),
                  0,
                  0,
                  0};
    append(riff, smf);
    MidiFile midi = readMidiFile(riff);
    ASSERT_EQ(midi.tracks.size(), 1u);
    EXPECT_EQ(midi.tracks[0].events.size(), 1u);
}

// What users' files often get wrong: read as far as it is sound, with a warning.
TEST(SmfReader, SkipsUnknownChunksAndTrailingBytes) {
    MidiFile midi = readMidiFile(file({
        header(1, 2, 96),
        chunk("XFIH", {1, 2, 3}),
        track({event(0, {0x90, 60, 1}), endOfTrack()}),
        track({event(0, {0x91, 61, 1}), endOfTrack()}),
        {0x00, 0x00, 0x1A, 0x1A, 0xFF},
    }));
    EXPECT_EQ(midi.tracks.size(), 2u);
    ASSERT_EQ(midi.warnings.size(), 2u);
    EXPECT_NE(midi.warnings[0].find("XFIH"), std::string::npos);
    EXPECT_NE(midi.warnings[1].find("5 bytes"), std::string::npos);
}

TEST(SmfReader, ReadsATrackWithoutEndOfTrackToItsDeclaredLength) {
    MidiFile midi = readMidiFile(file({
        header(1, 2, 96),
        track({event(0, {0x90, 60, 1}), event(50, {0x80, 60, 0})}),
        track({event(0, {0x91, 61, 1}), endOfTrack()}),
    }));
    ASSERT_EQ(midi.tracks.size(), 2u);
    EXPECT_EQ(midi.tracks[0].events.size(), 2u);
    EXPECT_EQ(midi.tracks[0].endTick, 50u);
    EXPECT_EQ(midi.tracks[1].events.size(), 1u);
    ASSERT_EQ(midi.warnings.size(), 1u);
    EXPECT_NE(midi.warnings[0].find("end-of-track"), std::string::npos);
}

TEST(SmfReader, ReadsToTheEndOfTrackWhenTheDataDisprovesTheLength) {
    Bytes firstBody = file({event(0, {0x90, 60, 1}), event(10, {0x80, 60, 0}), endOfTrack()});
    Bytes second = track({event(0, {0x91, 61, 1}), endOfTrack()});
    for (uint32_t wrong : {3u, 40u, 1000u}) {
        Bytes bytes = file({header(1, 2, 96), chunk("MTrk", firstBody, wrong), second});
        MidiFile midi = readMidiFile(bytes);
        ASSERT_EQ(midi.tracks.size(), 2u) << wrong;
        EXPECT_EQ(midi.tracks[0].events.size(), 2u) << wrong;
        EXPECT_EQ(midi.tracks[1].events.size(), 1u) << wrong;
        ASSERT_FALSE(midi.warnings.empty()) << wrong;
        EXPECT_NE(midi.warnings[0].find("wrong length"), std::string::npos) << wrong;
    }
}

TEST(SmfReader, LastTrackWhoseLengthRunsPastTheFileIsReadToItsEndOfTrack) {
    Bytes body = file({event(0, {0x90, 60, 1}), endOfTrack(7)});
    MidiFile midi = readMidiFile(file({header(0, 1, 96), chunk("MTrk", body, 500)}));
    ASSERT_EQ(midi.tracks[0].events.size(), 1u);
    EXPECT_EQ(midi.tracks[0].endTick, 7u);
    EXPECT_EQ(midi.warnings.size(), 1u);
}

TEST(SmfReader, KeepsTheSoundPartOfATrackThatStopsMakingSense) {
    MidiFile midi = readMidiFile(file({
        header(1, 2, 96),
        track({event(0, {0xFF, 0x01, 0x00}), event(0, {0x90, 60, 1}), event(0, {0xF4}),
               event(0, {0x90, 62, 1}), endOfTrack()}),
        track({event(0, {0x91, 61, 1}), endOfTrack()}),
    }));
    ASSERT_EQ(midi.tracks.size(), 2u);
    EXPECT_EQ(midi.tracks[0].events.size(), 2u);
    EXPECT_EQ(midi.tracks[1].events.size(), 1u);
    ASSERT_EQ(midi.warnings.size(), 2u);
    EXPECT_NE(midi.warnings[0].find("Track 1"), std::string::npos);

    MidiFile noStatus =
        readMidiFile(file({header(0, 1, 96), track({event(0, {60, 1}), endOfTrack()})}));
    EXPECT_TRUE(noStatus.tracks[0].events.empty());
    EXPECT_NE(noStatus.warnings[0].find("without a status"), std::string::npos);
}

TEST(SmfReader, WarnsWhenFewerTracksThanAnnounced) {
    MidiFile midi = readMidiFile(file({header(1, 3, 96), track({endOfTrack()})}));
    EXPECT_EQ(midi.tracks.size(), 1u);
    ASSERT_EQ(midi.warnings.size(), 1u);
    EXPECT_NE(midi.warnings[0].find("announces 3"), std::string::npos);
}

} // namespace
} // namespace corvex::smf
