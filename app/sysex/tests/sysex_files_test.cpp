// Loading and saving SysEx files in every form, in a temporary folder.
#include "sysex/sysex_files.h"
#include "sysex/sysex_hex.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace corvex {
namespace {

namespace fs = std::filesystem;

class SysExFiles : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("sysex_files_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string path(const char* name) const { return (folder_ / name).string(); }
    static void put(const std::string& path, const std::string& content) {
        std::ofstream(path, std::ios::binary) << content;
    }
    static std::string contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path folder_;
};

TEST_F(SysExFiles, EveryFilterReadsAndShowsAsItSays) {
    const std::string raw("\xF0\x7E\x7F\x09\x01\xF7", 6);
    put(path("dump.syx"), raw);
    struct Case {
        SysExLoadFilter filter;
        SysExKind source;
        SysExKind shown;
        std::string text;
    } cases[] = {
        {SysExLoadFilter::SysEx, SysExKind::BinaryFile, SysExKind::PlainHex, "F0 7E 7F 09 01 F7 "},
        {SysExLoadFilter::OtherBinary, SysExKind::BinaryFile, SysExKind::PlainHex,
         "F0 7E 7F 09 01 F7 "},
        {SysExLoadFilter::GivenPath, SysExKind::BinaryFile, SysExKind::PlainHex,
         "F0 7E 7F 09 01 F7 "},
        {SysExLoadFilter::FormattedSysEx, SysExKind::BinaryFile, SysExKind::FormattedHex,
         toFormattedHex(std::vector<uint8_t>(raw.begin(), raw.end()))},
        {SysExLoadFilter::Formatted, SysExKind::BinaryFile, SysExKind::FormattedHex,
         toFormattedHex(std::vector<uint8_t>(raw.begin(), raw.end()))},
        {SysExLoadFilter::Text, SysExKind::TextFile, SysExKind::Text, raw},
    };
    for (const Case& c : cases) {
        SysExLoad load = loadSysExFile(path("dump.syx"), c.filter);
        ASSERT_TRUE(load.ok) << load.error;
        EXPECT_EQ(load.sourceKind, c.source);
        EXPECT_EQ(load.textKind, c.shown);
        EXPECT_EQ(load.text, c.text);
    }
}

TEST_F(SysExFiles, MissingFilesAndFoldersAreReportedNotRead) {
    SysExLoad missing = loadSysExFile(path("nothing.syx"), SysExLoadFilter::SysEx);
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.error.find("Error trying to open the file: "), std::string::npos);
    EXPECT_FALSE(loadSysExFile(folder_.string(), SysExLoadFilter::SysEx).ok);
    EXPECT_FALSE(isUsableFilePath(path("nothing.syx")));
    EXPECT_FALSE(isUsableFilePath(folder_.string()));
    put(path("empty.syx"), "");
    EXPECT_TRUE(isUsableFilePath(path("empty.syx")));
}

TEST_F(SysExFiles, SavesBinaryAndTextForms) {
    std::string error;
    ASSERT_TRUE(saveSysExBinary(path("a.syx"), "F0 7 F7", SysExKind::PlainHex, error));
    EXPECT_EQ(contents(path("a.syx")), std::string("\xF0\xF7", 2));

    std::string formatted = toFormattedHex(std::vector<uint8_t>{0xF0, 0x43, 0xF7});
    ASSERT_TRUE(saveSysExBinary(path("b.syx"), formatted, SysExKind::FormattedHex, error));
    EXPECT_EQ(contents(path("b.syx")), std::string("\xF0\x43\xF7", 3));

    ASSERT_TRUE(saveSysExText(path("c.txt"), "F0 41\nF7\r\nend", error));
    EXPECT_EQ(contents(path("c.txt")), "F0 41\r\nF7\r\nend");
}

TEST_F(SysExFiles, FailedSaveKeepsTheOldFile) {
    put(path("keep.syx"), "old bytes");
    std::string error;
    EXPECT_FALSE(saveSysExBinary(path("keep.syx"), "no hex here", SysExKind::PlainHex, error));
    EXPECT_FALSE(
        saveSysExBinary(path("keep.syx"), std::string(74, ' '), SysExKind::FormattedHex, error));
    EXPECT_EQ(contents(path("keep.syx")), "old bytes");
    EXPECT_FALSE(saveSysExText(path("no/such/folder.txt"), "x", error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

} // namespace
} // namespace corvex
