// The frame's logic that looks at files: dropped files, folder checks and help pages.
#include "dropped_files.h"
#include "folder_check.h"
#include "help_pages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace corvex {
namespace {

namespace fs = std::filesystem;

class FrameFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::path(std::getenv("HOME")) /
                  ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::create_directories(folder_);
    }
    std::string write(const std::string& name, const std::string& bytes) {
        const fs::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    fs::path folder_;
};

TEST_F(FrameFilesTest, DroppedFilesAreClassifiedAsOnTheCommandLine) {
    EXPECT_EQ(classifyDroppedFile(write("dump.SYX", "\xF0\x7E\xF7")), DroppedFileKind::SysEx);
    EXPECT_EQ(classifyDroppedFile(write("bank.cbk", "x")), DroppedFileKind::SysEx);
    EXPECT_EQ(classifyDroppedFile(write("map.vxm", "\x01\x02")), DroppedFileKind::DataMap);
    EXPECT_EQ(classifyDroppedFile(write("studio.ini", "[Options]\r\nA=1\r\n")),
              DroppedFileKind::Profile);
    EXPECT_EQ(classifyDroppedFile(write("süße.txt", "[Folders]\nMap=/home/jürgen/Karten\n")),
              DroppedFileKind::Profile);
    EXPECT_EQ(classifyDroppedFile(write("song.mid", "[Options]\n")), DroppedFileKind::Unsuitable);
    EXPECT_EQ(classifyDroppedFile(write("map.txm", "text map\n")), DroppedFileKind::DataMap);
    EXPECT_EQ(classifyDroppedFile(write("synth.MXS", "SNAP")), DroppedFileKind::Snapshot);
    EXPECT_EQ(classifyDroppedFile(write("binary.dat", std::string("ab\0cd", 5))),
              DroppedFileKind::Unsuitable);
    EXPECT_EQ(classifyDroppedFile(write("latin1.ini", "Map=J\xFCrgen\n")),
              DroppedFileKind::Unsuitable);
    EXPECT_EQ(classifyDroppedFile(write("empty.ini", "")), DroppedFileKind::Unsuitable);
    EXPECT_EQ(classifyDroppedFile(write("corvex", "text\n")), DroppedFileKind::Unsuitable);
    EXPECT_EQ(classifyDroppedFile((folder_ / "missing.syx").string()), DroppedFileKind::Unsuitable);
    fs::create_directories(folder_ / "folder.syx");
    EXPECT_EQ(classifyDroppedFile((folder_ / "folder.syx").string()), DroppedFileKind::Unsuitable);
}

TEST_F(FrameFilesTest, ExactlyOneUsableFileIsAccepted) {
    const std::string map = write("a.vxm", "m");
    const std::string sysex = write("b.syx", "s");
    EXPECT_EQ(decideDrop({map}).kind, DroppedFileKind::DataMap);
    EXPECT_EQ(decideDrop({map}).path, map);
    EXPECT_EQ(decideDrop({map, sysex}).kind, DroppedFileKind::Unsuitable);
    EXPECT_EQ(decideDrop({}).kind, DroppedFileKind::Unsuitable);
    EXPECT_EQ(decideDrop({write("c.mid", "x")}).kind, DroppedFileKind::Unsuitable);
}

TEST_F(FrameFilesTest, ChangedFoldersMustExist) {
    const std::string maps = (folder_ / "maps").string();
    fs::create_directories(maps);
    const FolderSettings stored{"/gone/maps", "/gone/sysex", "/gone/snaps"};
    // Unchanged folders are not checked, even when they no longer exist.
    EXPECT_EQ(firstInvalidFolder(stored, stored), FolderField::None);
    FolderSettings edited = stored;
    edited.mapFolder = maps;
    EXPECT_EQ(firstInvalidFolder(stored, edited), FolderField::None);
    edited.snapshotFolder = (folder_ / "nope").string();
    EXPECT_EQ(firstInvalidFolder(stored, edited), FolderField::Snapshot);
    edited.sysexFolder = write("file", "x"); // a file is not a folder
    EXPECT_EQ(firstInvalidFolder(stored, edited), FolderField::SysEx);
    edited.mapFolder = "";
    EXPECT_EQ(firstInvalidFolder(stored, edited), FolderField::Map);
}

TEST_F(FrameFilesTest, HelpPagesComeFromTheProgramFolderFirst) {
    // Without an installed copy the source tree's pages are found.
    const std::string fromSource = findHelpPage("", kHelpContentsPage);
    ASSERT_FALSE(fromSource.empty());
    EXPECT_TRUE(fromSource.ends_with("docs/help/index.html"));
    fs::create_directories(folder_ / "help");
    const std::string installed = write("help/index.html", "<html></html>");
    EXPECT_EQ(findHelpPage(folder_.string(), kHelpContentsPage), installed);
    EXPECT_TRUE(findHelpPage(folder_.string(), "no-such-page.html").empty());
    EXPECT_EQ(helpPageForTopic(0), kHelpContentsPage);
    EXPECT_EQ(helpPageForTopic(kWebSiteHelpTopic), "web-site.html");
    EXPECT_FALSE(findHelpPage("", helpPageForTopic(kWebSiteHelpTopic)).empty());
    EXPECT_FALSE(findHelpPage("", kHelpSearchPage).empty());
    EXPECT_FALSE(findHelpPage("", kHelpOnHelpPage).empty());
}

} // namespace
} // namespace corvex
