#include "shell/command_line.h"

#include "support/isolated_home.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace corvex {
namespace {

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::path(cvx::testing::isolatedHome()) / "args dir";
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string file(const std::string& name, const std::string& bytes = "x") const {
        const std::filesystem::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    std::string missing(const std::string& name) const { return (folder_ / name).string(); }

    std::filesystem::path folder_;
};

TEST_F(CommandLineTest, NoArgumentsStartsNormally) {
    const CommandLine line = parseCommandLine({});
    EXPECT_EQ(line.registration, Registration::None);
    EXPECT_EQ(line.result, 2);
    EXPECT_FALSE(line.minimizeToTray);
}

TEST_F(CommandLineTest, RegistrationWordsCountOnlyAsTheLastArgument) {
    EXPECT_EQ(parseCommandLine({"-regserver"}).registration, Registration::RegServer);
    EXPECT_EQ(parseCommandLine({"--UnRegServer"}).registration, Registration::UnregServer);
    EXPECT_EQ(parseCommandLine({"-mintray", "/Install"}).registration, Registration::Install);
    EXPECT_EQ(parseCommandLine({"/reg"}).registration, Registration::Reg);

    const CommandLine notLast = parseCommandLine({"/RegServer", "-mintray"});
    EXPECT_EQ(notLast.registration, Registration::None);
    EXPECT_EQ(notLast.result, 2);
    EXPECT_TRUE(notLast.minimizeToTray);
    EXPECT_EQ(parseCommandLine({"-registry"}).registration, Registration::None);
}

TEST_F(CommandLineTest, SlashIsASwitchOnlyForKnownWords) {
    // An absolute path is a file argument even though it starts with "/".
    const std::string profile = file("open", "[Options]\n");
    const CommandLine line = parseCommandLine({"/send", profile});
    EXPECT_EQ(line.result, 3);
    EXPECT_EQ(line.profilePath, profile);
    EXPECT_EQ(parseCommandLine({"/nosuchword"}).result, 1);
    EXPECT_TRUE(parseCommandLine({"/MINTRAY"}).minimizeToTray);
}

TEST_F(CommandLineTest, SysExAndMapFilesTakeThePendingVerb) {
    const std::string dump = file("dump one.SYX");
    const std::string map = file("map.vxm");
    const CommandLine line = parseCommandLine({"--send", dump, map});
    EXPECT_EQ(line.result, 4);
    EXPECT_EQ(line.sysexPath, dump);
    EXPECT_EQ(line.sysexVerb, FileVerb::Send);
    EXPECT_EQ(line.mapPath, map);
    EXPECT_EQ(line.mapVerb, FileVerb::Open); // the verb is reset after every file
    EXPECT_EQ(parseCommandLine({"-play", file("bank.cbk")}).sysexVerb, FileVerb::Play);
}

TEST_F(CommandLineTest, ProfileWinsOverMapAndSysExInEitherOrder) {
    const std::string profile = file("studio.ini", "[General]\r\nName=Caf\xc3\xa9\r\n");
    const std::string dump = file("a.syx");
    EXPECT_EQ(parseCommandLine({profile, dump}).result, 3);
    const CommandLine line = parseCommandLine({dump, profile});
    EXPECT_EQ(line.result, 3);
    EXPECT_EQ(line.profilePath, profile);
    EXPECT_EQ(line.sysexPath, dump);
}

TEST_F(CommandLineTest, FilesTheProgramIgnoresStartNormallyWithoutUndoingOthers) {
    EXPECT_EQ(parseCommandLine({file("song.mid")}).result, 2);
    EXPECT_EQ(parseCommandLine({file("/usr/bin/corvex")}).result, 2);
    const std::string profile = file("p.ini", "[A]\nB=1\n");
    EXPECT_EQ(parseCommandLine({profile, file("song.MFF")}).result, 3);
    EXPECT_EQ(parseCommandLine({file("m.vxm"), file("x.mxs")}).result, 4);
    EXPECT_EQ(parseCommandLine({file("m.vxm"), file("x.mxs")}).snapshotPath, file("x.mxs"));
}

// A running instance and the settings live in other working folders: every file the
// command line names is kept as an absolute path of this process's working folder, and an
// ASCII data map is a map file like a binary one.
TEST_F(CommandLineTest, FilesAreKeptAsAbsolutePathsOfTheWorkingFolder) {
    file("my.vxm");
    file("edit.txm");
    file("dump.syx");
    file("studio.ini", "[Options]\n");
    std::filesystem::create_directories(folder_ / "sub");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder_ / "sub");
    struct Case {
        std::vector<std::string> arguments;
        std::string CommandLine::*path;
        std::string expected;
    };
    const Case cases[] = {
        {{"../my.vxm"}, &CommandLine::mapPath, "my.vxm"},
        {{"./../edit.txm"}, &CommandLine::mapPath, "edit.txm"},
        {{"-send", "../dump.syx"}, &CommandLine::sysexPath, "dump.syx"},
        {{"../studio.ini"}, &CommandLine::profilePath, "studio.ini"},
    };
    for (const Case& c : cases) {
        const CommandLine line = parseCommandLine(c.arguments);
        EXPECT_EQ(line.*c.path, (folder_ / c.expected).string()) << c.arguments.back();
        EXPECT_GE(line.result, 3) << c.arguments.back();
    }
    const CommandLine ascii = parseCommandLine({"../edit.txm"});
    EXPECT_EQ(ascii.result, 4);
    EXPECT_EQ(ascii.mapVerb, FileVerb::Open);
    std::filesystem::current_path(before);
}

TEST_F(CommandLineTest, AMissingFileDecidesTheResultWhateverFollows) {
    const std::string dump = file("a.syx");
    EXPECT_EQ(parseCommandLine({missing("gone.syx"), dump}).result, 1);
    EXPECT_EQ(parseCommandLine({dump, missing("gone.vxm")}).result, 1);
    EXPECT_EQ(parseCommandLine({""}).result, 1);
    EXPECT_EQ(parseCommandLine({folder_.string()}).result, 1); // a folder is not a file
}

TEST_F(CommandLineTest, OnlyTextFilesAreProfiles) {
    EXPECT_EQ(parseCommandLine({file("empty.ini", "")}).result, 2);
    EXPECT_EQ(parseCommandLine({file("blob.bin", std::string("\x00\x01\x02", 3))}).result, 2);
    EXPECT_EQ(parseCommandLine({file("latin1.ini", "Name=Caf\xe9\n")}).result, 2);
    EXPECT_EQ(parseCommandLine({file("utf8.ini", "[\xe6\x97\xa5]\tx=1\r\n")}).result, 3);
}

TEST(ProfileTextTest, AcceptsOnlyWellFormedUtf8WithoutControls) {
    EXPECT_TRUE(isProfileFileText("[S]\r\nK=V\tW\n"));
    EXPECT_TRUE(isProfileFileText("\xef\xbb\xbf[S]"));       // byte order mark
    EXPECT_TRUE(isProfileFileText("\xf0\x9f\x8e\xb9 keys")); // four-byte sequence
    EXPECT_FALSE(isProfileFileText(""));
    EXPECT_FALSE(isProfileFileText(std::string("a\0b", 3)));
    EXPECT_FALSE(isProfileFileText("a\x1b[0m")); // escape
    EXPECT_FALSE(isProfileFileText("\x7f"));
    EXPECT_FALSE(isProfileFileText("\xc0\xaf"));         // overlong "/"
    EXPECT_FALSE(isProfileFileText("\xe0\x80\xaf"));     // overlong, three bytes
    EXPECT_FALSE(isProfileFileText("\xed\xa0\x80"));     // surrogate
    EXPECT_FALSE(isProfileFileText("\xf4\x90\x80\x80")); // above U+10FFFF
    EXPECT_FALSE(isProfileFileText("ab\xe6\x97"));       // cut short
    EXPECT_FALSE(isProfileFileText("\x80"));             // stray continuation byte
}

TEST(InfoRequestTest, FindsHelpAndVersionAnywhere) {
    EXPECT_EQ(findInfoRequest({}), InfoRequest::None);
    EXPECT_EQ(findInfoRequest({"-mintray", "--help"}), InfoRequest::Help);
    EXPECT_EQ(findInfoRequest({"-h"}), InfoRequest::Help);
    EXPECT_EQ(findInfoRequest({"--version", "--help"}), InfoRequest::Version);
    EXPECT_EQ(findInfoRequest({"-help-me"}), InfoRequest::None);
}

} // namespace
} // namespace corvex
