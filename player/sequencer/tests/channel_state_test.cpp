#include "sequencer/channel_state.h"
#include "sequencer/sounding_notes.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvex {
namespace {

void observe(ChannelState& state, std::vector<std::vector<uint8_t>> messages) {
    for (const auto& message : messages) {
        state.observe(message);
    }
}

TEST(ChannelState, ChasesBankProgramControllersParametersBendAndPressure) {
    ChannelState state;
    observe(state, {{0xC2, 5},       // program before the bank: still sent after it
                    {0xB2, 0, 1},    // bank MSB
                    {0xB2, 32, 2},   // bank LSB
                    {0xB2, 7, 100},  // volume
                    {0xB2, 7, 90},   // the last value counts
                    {0xB2, 64, 127}, // sustain
                    {0xB2, 101, 0},  // RPN 0: bend range
                    {0xB2, 100, 0},
                    {0xB2, 6, 12},
                    {0xB2, 99, 1}, // then an NRPN is selected
                    {0xB2, 98, 8},
                    {0xB2, 6, 77},      // its data entry is not chased
                    {0xE2, 0x00, 0x50}, // bend
                    {0xD2, 33},         // pressure
                    {0x92, 60, 100},    // notes are no part of the state
                    {0xB2, 123, 0}});   // nor are channel mode messages
    std::vector<ShortMessage> expected = {{0xB2, 0, 1},   {0xB2, 32, 2},   {0xC2, 5, 0},
                                          {0xB2, 7, 90},  {0xB2, 64, 127}, {0xB2, 101, 0},
                                          {0xB2, 100, 0}, {0xB2, 6, 12},   {0xB2, 99, 1},
                                          {0xB2, 98, 8},  {0xE2, 0, 0x50}, {0xD2, 33, 0}};
    EXPECT_EQ(state.chaseMessages(), expected);
}

TEST(ChannelState, ResetAllControllersForgetsControllersButNotTheProgram) {
    ChannelState state;
    observe(state, {{0xC0, 9}, {0xB0, 7, 50}, {0xE0, 1, 2}, {0xB0, 121, 0}, {0xB0, 10, 64}});
    std::vector<ShortMessage> expected = {{0xC0, 9, 0}, {0xB0, 10, 64}};
    EXPECT_EQ(state.chaseMessages(), expected);
    EXPECT_TRUE(ChannelState().chaseMessages().empty());
}

// What the whole file sets, and what a point in it has set so far: the reset sent before
// the chase from that point.
TEST(ChannelState, ResetReturnsWhatTheFileSetsLaterToItsDefaults) {
    const std::vector<std::vector<uint8_t>> file = {
        {0xC0, 5},       {0xB0, 7, 90},   {0x91, 60, 100}, // channel 1: notes only
        {0xB0, 64, 127}, {0xE0, 0, 0x60}, {0xB0, 10, 20},  {0xD0, 30},
        {0xB2, 11, 50},  {0xB0, 121, 0},  {0xB0, 91, 10}};
    struct Case {
        size_t eventsBefore;
        std::vector<ShortMessage> expected;
    };
    const std::vector<Case> cases = {
        {0, // the start: everything back to its default
         {{0xB0, 121, 0},
          {0xB0, 7, 100},
          {0xB0, 10, 64},
          {0xB0, 64, 0},
          {0xB0, 91, 40},
          {0xE0, 0, 0x40},
          {0xD0, 0, 0},
          {0xB2, 121, 0},
          {0xB2, 11, 127}}},
        {5, // volume, sustain and bend are set there
         {{0xB0, 10, 64}, {0xB0, 91, 40}, {0xD0, 0, 0}, {0xB2, 121, 0}, {0xB2, 11, 127}}},
        {9, // after the file's own Reset All Controllers
         {{0xB0, 121, 0},
          {0xB0, 7, 100},
          {0xB0, 10, 64},
          {0xB0, 64, 0},
          {0xB0, 91, 40},
          {0xE0, 0, 0x40},
          {0xD0, 0, 0}}},
        {10, {{0xB0, 7, 100}, {0xB0, 10, 64}, {0xB0, 64, 0}, {0xE0, 0, 0x40}, {0xD0, 0, 0}}},
    };
    ChannelState whole;
    observe(whole, file);
    for (const Case& c : cases) {
        ChannelState here;
        observe(here, {file.begin(), file.begin() + long(c.eventsBefore)});
        EXPECT_EQ(here.resetMessages(whole), c.expected) << "after " << c.eventsBefore;
    }
    EXPECT_TRUE(ChannelState().resetMessages(ChannelState()).empty());
}

TEST(SoundingNotes, ReleasesEachSoundingNoteOnceAndTheSustainPedal) {
    SoundingNotes notes;
    for (std::vector<uint8_t> m :
         std::vector<std::vector<uint8_t>>{{0x90, 60, 100},
                                           {0x90, 60, 100},
                                           {0x80, 60, 0}, // one of two still sounds
                                           {0x91, 62, 100},
                                           {0x91, 62, 0}, // velocity 0 ends it
                                           {0x93, 64, 1},
                                           {0xB3, 64, 127}, // sustain held
                                           {0x95, 70, 1},
                                           {0xB5, 123, 0}}) { // All Notes Off
        notes.observe(m);
    }
    std::vector<ShortMessage> sent;
    notes.release([&](uint8_t s, uint8_t d1, uint8_t d2) { sent.push_back({s, d1, d2}); });
    std::vector<ShortMessage> expected = {{0x80, 60, 0}, {0x83, 64, 0}, {0xB3, 64, 0}};
    EXPECT_EQ(sent, expected);
    EXPECT_FALSE(notes.anySounding());
}

} // namespace
} // namespace corvex
