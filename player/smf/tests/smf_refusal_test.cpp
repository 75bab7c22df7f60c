#include "smf/smf_reader.h"
#include "smf_bytes.h"

#include <gtest/gtest.h>

#include <fstream>

namespace corvex::smf {
namespace {

using namespace test;

std::string refusal(const Bytes& bytes) {
    try {
        readMidiFile(bytes);
    } catch (const SmfError& error) {
        return error.what();
    }
    return "accepted";
}

TEST(SmfRefusal, InputThatIsNotAMidiFile) {
    EXPECT_NE(refusal({}).find("not a MIDI file"), std::string::npos);
    EXPECT_NE(refusal({'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}).find("not a MIDI"),
              std::string::npos);
    EXPECT_NE(refusal({'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}).find("not a MIDI"),
              std::string::npos);
    Bytes riffWithoutData = {'R', 'I', 'F', 'F', 0,   0,   0, 0, 'R', 'M',
                             'I', 'D', 'L', 'I', 'S', 'T', 0, 0, 0,   0};
    EXPECT_NE(refusal(riffWithoutData).find("no MIDI data"), std::string::npos);
}

TEST(SmfRefusal, TruncatedOrUnknownHeaders) {
    Bytes good = file({header(0, 1, 96), track({endOfTrack()})});
    for (size_t cut : {4u, 7u, 10u, 13u}) {
        EXPECT_NE(refusal(Bytes(good.begin(), good.begin() + cut)).find("truncated"),
                  std::string::npos)
            << cut;
    }
    EXPECT_NE(refusal(file({chunk("MThd", {0, 0, 0, 1}), track({endOfTrack()})})).find("truncated"),
              std::string::npos);
    EXPECT_NE(refusal(file({header(3, 1, 96), track({endOfTrack()})})).find("format 3"),
              std::string::npos);
    EXPECT_NE(refusal(file({header(0, 1, 0), track({endOfTrack()})})).find("0 ticks per quarter"),
              std::string::npos);
    EXPECT_NE(
        refusal(file({header(0, 1, 0xE700), track({endOfTrack()})})).find("0 ticks per frame"),
        std::string::npos);
    EXPECT_NE(refusal(file({header(0, 1, 0xE628), track({endOfTrack()})})).find("frame rate (26)"),
              std::string::npos);
    EXPECT_NE(refusal(file({header(0, 0, 96)})).find("no track"), std::string::npos);
}

// A file cut short anywhere in its track plays the whole events before the cut.
TEST(SmfRefusal, AFileCutShortKeepsTheEventsBeforeTheCut) {
    Bytes body = file({event(0, {0x90, 60, 1}), event(10, {0x80, 60, 0}), endOfTrack()});
    Bytes whole = file({header(0, 1, 96), chunk("MTrk", body)});
    const size_t firstEnd = 22 + 4, secondEnd = firstEnd + 4; // after each channel event
    for (size_t cut = 22; cut < whole.size(); ++cut) {
        MidiFile read = readMidiFile(Bytes(whole.begin(), whole.begin() + long(cut)));
        EXPECT_TRUE(read.cutShort) << cut;
        ASSERT_EQ(read.tracks.size(), 1u) << cut;
        size_t expected = cut >= secondEnd ? 2 : cut >= firstEnd ? 1 : 0;
        EXPECT_EQ(read.tracks[0].events.size(), expected) << cut;
        EXPECT_NE(read.warnings.back().find("cut short"), std::string::npos) << cut;
    }
    EXPECT_FALSE(readMidiFile(whole).cutShort);
    Bytes sysexPastEnd = file({header(0, 1, 96), chunk("MTrk", file({event(0, {0xF0, 0x7F, 1})}))});
    EXPECT_TRUE(readMidiFile(sysexPastEnd).cutShort);
    Bytes riffPastEnd = {'R', 'I', 'F', 'F', 0,   0,    0, 0, 'R', 'M', 'I',
                         'D', 'd', 'a', 't', 'a', 0xFF, 0, 0, 0,   'M'};
    EXPECT_NE(refusal(riffPastEnd).find("truncated"), std::string::npos);
}

TEST(SmfRefusal, VariableLengthNumbersOverFourBytes) {
    Bytes delta = file({header(0, 1, 96), track({event(0, {0x90, 60, 1}),
                                                 {0x81, 0x80, 0x80, 0x80, 0x00, 0x80, 60, 0},
                                                 endOfTrack()})});
    EXPECT_NE(refusal(delta).find("more than 4 bytes"), std::string::npos);
    Bytes metaLength =
        file({header(0, 1, 96),
              track({{0x00, 0xFF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, endOfTrack()})});
    EXPECT_NE(refusal(metaLength).find("more than 4 bytes"), std::string::npos);
    Bytes largest =
        file({header(0, 1, 96), track({event(0x0FFFFFFF, {0x90, 60, 1}), endOfTrack()})});
    EXPECT_EQ(readMidiFile(largest).tracks[0].events[0].tick, 0x0FFFFFFFu);
}

TEST(SmfRefusal, FilesThatCannotBeReadSayWhy) {
    std::string folder = std::getenv("HOME");
    EXPECT_THROW(readMidiFileAt(folder), SmfError);
    EXPECT_THROW(readMidiFileAt(folder + "/missing.mid"), SmfError);
    std::ofstream(folder + "/text.mid") << "MThd but not really";
    EXPECT_THROW(readMidiFileAt(folder + "/text.mid"), SmfError);
}

} // namespace
} // namespace corvex::smf
