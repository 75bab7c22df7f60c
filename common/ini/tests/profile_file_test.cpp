// Profile strings on files: defaults, creating, keeping, deleting, and never leaving a
// user's file half written or replaced when something is wrong.
#include "ini/profile_file.h"
#include "ini/profile_strings.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

namespace cvx::profile {
namespace {

using test::readFile;
using test::TempFolder;
using test::writeFile;

TEST(ProfileFileTest, MissingFileReadsDefaultsAndAWriteCreatesIt) {
    TempFolder folder;
    std::string path = folder.file("NEW.INI");
    EXPECT_EQ(readProfileString(path, "S", "K", "dflt"), "dflt");
    EXPECT_EQ(readProfileInt(path, "S", "K", -5), -5);
    EXPECT_TRUE(writeProfileString(path, "S", "K", nullptr)); // nothing to delete
    EXPECT_FALSE(std::filesystem::exists(path));

    ASSERT_TRUE(writeProfileString(path, "S", "K", "12"));
    EXPECT_EQ(readFile(path), "[S]\nK=12\n");
    EXPECT_EQ(readProfileInt(path, "s", "k", -5), 12);
    EXPECT_EQ(readProfileString(path, "S", "K", "dflt"), "12");
}

TEST(ProfileFileTest, WritesKeepTheRestOfTheFileAndItsPermissions) {
    TempFolder folder;
    std::string path = folder.file("USER.INI");
    writeFile(path, "# not a comment to us\n[S]\nA=1\nB=2\n[T]\nC=3\n");
    ::chmod(path.c_str(), 0600);
    ASSERT_TRUE(writeProfileString(path, "S", "A", nullptr));
    ASSERT_TRUE(writeProfileString(path, "T", "C", "4"));
    EXPECT_EQ(readFile(path), "# not a comment to us\n[S]\nB=2\n[T]\nC=4\n");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(ProfileFileTest, EmptyValueReadsTheIntDefault) {
    TempFolder folder;
    std::string path = folder.file("E.INI");
    writeFile(path, "[S]\nK=\nJ=x\n");
    EXPECT_EQ(readProfileInt(path, "S", "K", 9), 9);
    EXPECT_EQ(readProfileInt(path, "S", "J", 9), 0);
}

TEST(ProfileFileTest, ALinkedProfileStaysLinked) {
    TempFolder folder;
    std::string target = folder.file("REAL.INI");
    std::string link = folder.file("LINK.INI");
    writeFile(target, "[S]\nK=1\n");
    std::filesystem::create_symlink(target, link);
    ASSERT_TRUE(writeProfileString(link, "S", "K", "2"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readFile(target), "[S]\nK=2\n");
}

TEST(ProfileFileTest, UnreadableOrUnwritableFilesAreLeftAlone) {
    TempFolder folder;
    std::string tooLarge = folder.file("BIG.INI");
    writeFile(tooLarge, "[S]\nK=1\n" + std::string(kMaxProfileBytes, ';'));
    EXPECT_EQ(readProfileInt(tooLarge, "S", "K", 7), 7);
    EXPECT_FALSE(writeProfileString(tooLarge, "S", "K", "2"));
    EXPECT_EQ(std::filesystem::file_size(tooLarge), kMaxProfileBytes + 8);

    std::filesystem::create_directory(folder.file("DIR.INI"));
    EXPECT_EQ(readProfileFile(folder.file("DIR.INI")).status, ReadStatus::Failed);
    EXPECT_FALSE(writeProfileString(folder.file("DIR.INI"), "S", "K", "1"));

    EXPECT_FALSE(writeProfileString(folder.file("no/such/folder.ini"), "S", "K", "1"));

    std::string pipe = folder.file("PIPE.INI"); // opening it must not wait for a writer
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(readProfileInt(pipe, "S", "K", 3), 3);
    EXPECT_FALSE(writeProfileString(pipe, "S", "K", "1"));

    std::string bad = folder.file("BAD.INI");
    writeFile(bad, "[S]\nK=1\n");
    EXPECT_FALSE(writeProfileString(bad, "S", "K", "line\nbreak"));
    EXPECT_EQ(readFile(bad), "[S]\nK=1\n");
}

// A write that runs out of room (here: the file-size limit) must not touch the old file.
TEST(ProfileFileTest, AFailedReplaceLeavesTheOldFileAndNoTemporary) {
    TempFolder folder;
    std::string path = folder.file("KEEP.INI");
    writeFile(path, "[S]\nK=1\n");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 16;
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool written = writeProfileString(path, "S", "K", std::string(64, 'x').c_str());
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(written);
    EXPECT_EQ(readFile(path), "[S]\nK=1\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

} // namespace
} // namespace cvx::profile
