#include "handoff_block.h"
#include "player_command_line.h"

#include <gtest/gtest.h>

#include <fstream>

namespace corvex {
namespace {

class PlayerCommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        song = std::string(std::getenv("HOME")) + "/a song.mid";
        std::ofstream(song) << "x";
    }
    std::string song;
};

TEST_F(PlayerCommandLine, VerbsChooseOpenOrPlay) {
    auto verb = [&](std::vector<std::string> args) { return parsePlayerCommandLine(args).verb; };
    EXPECT_EQ(verb({song}), PlayerVerb::Open);
    EXPECT_EQ(verb({"-play", song}), PlayerVerb::Play);
    EXPECT_EQ(verb({"--PLAY", song}), PlayerVerb::Play);
    EXPECT_EQ(verb({"/play", song}), PlayerVerb::Play);
    EXPECT_EQ(verb({"/send", song}), PlayerVerb::Open);
    EXPECT_EQ(verb({"-open", song}), PlayerVerb::Open);
    EXPECT_EQ(verb({"-foo", song}), PlayerVerb::None);
    EXPECT_EQ(verb({"\" " + song + "\" "}), PlayerVerb::Open);
    EXPECT_EQ(parsePlayerCommandLine({"-play", song}).path, song);
}

TEST_F(PlayerCommandLine, OnlyExistingFilesCount) {
    std::string home = std::getenv("HOME");
    EXPECT_EQ(parsePlayerCommandLine({}).verb, PlayerVerb::None);
    EXPECT_EQ(parsePlayerCommandLine({home + "/missing.mid"}).verb, PlayerVerb::None);
    EXPECT_EQ(parsePlayerCommandLine({"-play", home}).verb, PlayerVerb::None);
    EXPECT_EQ(parsePlayerCommandLine({"-play", home + "/missing.mid", song}).verb,
              PlayerVerb::Open);
}

// An unknown switch is reported and nothing opens, whatever follows; "/" followed by a
// path with folders stays a (missing) path.
TEST_F(PlayerCommandLine, UnknownSwitchesAreReportedAndOpenNothing) {
    struct Case {
        std::vector<std::string> arguments;
        PlayerVerb verb;
        std::string unknown;
    };
    const std::vector<Case> cases = {
        {{"/foo", song}, PlayerVerb::None, "/foo"},
        {{"-x", song}, PlayerVerb::None, "-x"},
        {{song, "--bogus"}, PlayerVerb::None, "--bogus"},
        {{"/foo", "-play", song}, PlayerVerb::None, "/foo"},
        {{"/PLAY", song}, PlayerVerb::Play, ""},
        {{"/no/such/file.mid", song}, PlayerVerb::Open, ""},
    };
    for (const Case& c : cases) {
        PlayerCommand command = parsePlayerCommandLine(c.arguments);
        EXPECT_EQ(command.verb, c.verb) << c.arguments[0];
        EXPECT_EQ(command.unknownSwitch, c.unknown) << c.arguments[0];
        EXPECT_EQ(command.path.empty(), c.verb == PlayerVerb::None) << c.arguments[0];
    }
    EXPECT_TRUE(parsePlayerCommandLine({"--help"}).help);
    EXPECT_TRUE(parsePlayerCommandLine({"-version"}).version);
}

TEST(HandOffBlock, CarriesPathsUpTo260BytesAndRefusesLonger) {
    PlayerHandOff play{kHandOffPlay, std::string(260, 'p')};
    auto message = encodePlayerHandOff(play);
    ASSERT_TRUE(message);
    auto decoded = decodePlayerHandOff(*message);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->command, kHandOffPlay);
    EXPECT_EQ(decoded->path, play.path);
    EXPECT_FALSE(encodePlayerHandOff({kHandOffOpen, std::string(261, 'p')}));
    EXPECT_FALSE(encodePlayerHandOff({kHandOffOpen, std::string("a\0b", 3)}));

    auto bad = *encodePlayerHandOff({kHandOffOpen, "/x.mid"});
    bad[0] = 131;
    EXPECT_FALSE(decodePlayerHandOff(bad));
    auto unterminated = *encodePlayerHandOff({kHandOffOpen, "/x.mid"});
    std::fill(unterminated.begin() + 4, unterminated.end(), 'x');
    EXPECT_FALSE(decodePlayerHandOff(unterminated));
    EXPECT_FALSE(decodePlayerHandOff(std::span<const uint8_t>(message->data(), 100)));
}

} // namespace
} // namespace corvex
