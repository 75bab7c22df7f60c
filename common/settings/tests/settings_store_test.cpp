#include "settings/settings_store.h"

#include "settings/folders.h"
#include "settings/settings_text.h"
#include "support/test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace corvex {
namespace {

namespace fs = std::filesystem;
using testing::filesStartingWith;
using testing::readFile;
using testing::writeFile;

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(folder());
        fs::create_directories(folder());
    }
    static std::string folder() { return fs::path(settingsStorePath()).parent_path(); }

    SettingsStore store;
};

TEST_F(SettingsStoreTest, ValuesAreWrittenReadEnumeratedAndDeleted) {
    EXPECT_FALSE(store.readDword("Options", "Octave"));
    ASSERT_TRUE(store.writeDword("Options", "Octave", 3));
    ASSERT_TRUE(store.writeString("Options", "MapDir", "/maps"));
    ASSERT_TRUE(store.writeQword("Instance Data", "hWnd 00", 42));
    ASSERT_TRUE(store.writeBinary("Profile 1", "Filter", "abcd", 4));
    EXPECT_EQ(store.readDword("Options", "Octave"), 3u);
    EXPECT_EQ(store.readString("Options", "MapDir"), "/maps");
    EXPECT_EQ(store.readQword("Instance Data", "hWnd 00"), 42u);
    EXPECT_FALSE(store.readBinary("Profile 1", "Filter", 24));
    EXPECT_EQ(store.subkeys(""),
              (std::vector<std::string>{"Instance Data", "Options", "Profile 1"}));
    EXPECT_EQ(store.valueNames("Options"), (std::vector<std::string>{"Octave", "MapDir"}));
    EXPECT_TRUE(store.deleteValue("Options", "Octave"));
    EXPECT_FALSE(store.deleteValue("Options", "Octave"));
    EXPECT_TRUE(store.deleteKey("Profile 1"));
    EXPECT_EQ(store.subkeys(""), (std::vector<std::string>{"Instance Data", "Options"}));
    // Every change replaced the file whole: no temporary file is left behind.
    EXPECT_EQ(filesStartingWith(folder(), "corvex.reg."),
              std::vector<std::string>{"corvex.reg.lock"});
}

TEST_F(SettingsStoreTest, MissingFolderReadsAsEmptyAndIsMadeOnFirstWrite) {
    fs::remove_all(folder());
    EXPECT_TRUE(store.read().empty());
    EXPECT_FALSE(fs::exists(folder()));
    EXPECT_TRUE(store.writeDword("", "x", 1));
    EXPECT_TRUE(fs::exists(store.path()));
}

TEST_F(SettingsStoreTest, DamagedStoreIsKeptAsideAndItsReadableValuesUsed) {
    const std::string damaged = "Corvex settings store 1\n[Software\\Corvex\\Options]\n"
                                "\"Octave\"=dword:00000002\n\x01\x02 not a line\n";
    writeFile(store.path(), damaged);

    EXPECT_EQ(store.readDword("Options", "Octave"), 2u);
    std::string notice = store.takeDamageNotice();
    EXPECT_NE(notice.find("corvex.reg.damaged-"), std::string::npos);
    EXPECT_TRUE(store.takeDamageNotice().empty()); // said once

    std::vector<std::string> aside = filesStartingWith(folder(), "corvex.reg.damaged-");
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(readFile(folder() + "/" + aside[0]), damaged);
    // The store now holds what could be read, and reads without a problem.
    EXPECT_TRUE(parseSettingsText(readFile(store.path())).problems.empty());
    EXPECT_EQ(store.readDword("Options", "Octave"), 2u);
    EXPECT_TRUE(store.takeDamageNotice().empty());
}

TEST_F(SettingsStoreTest, DamagedStoreIsKeptAsideBeforeAWrite) {
    writeFile(store.path(), std::string("\0\0\0binary", 9));
    ASSERT_TRUE(store.writeDword("", "x", 1));
    EXPECT_EQ(filesStartingWith(folder(), "corvex.reg.damaged-").size(), 1u);
    EXPECT_FALSE(store.takeDamageNotice().empty());
    EXPECT_EQ(store.readDword("", "x"), 1u);
}

TEST_F(SettingsStoreTest, StoreThatCannotBeReadIsNeverReplaced) {
    fs::create_directories(store.path()); // a folder where the file should be
    EXPECT_TRUE(store.read().empty());
    EXPECT_FALSE(store.writeDword("", "x", 1));
    EXPECT_TRUE(fs::is_directory(store.path()));
}

// Several processes writing at the same time never lose each other's values.
TEST_F(SettingsStoreTest, ConcurrentWritersKeepEveryValue) {
    constexpr int kProcesses = 4;
    constexpr int kWrites = 25;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SettingsStore own(settingsStorePath());
            bool ok = true;
            for (int i = 0; i < kWrites; ++i) {
                ok = own.writeDword("Profile " + std::to_string(p + 1), "v" + std::to_string(i),
                                    static_cast<uint32_t>(i)) &&
                     ok;
            }
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    SettingsTree tree = store.read();
    for (int p = 0; p < kProcesses; ++p) {
        EXPECT_EQ(tree.valueNames("Profile " + std::to_string(p + 1)).size(),
                  static_cast<size_t>(kWrites));
    }
    EXPECT_TRUE(store.takeDamageNotice().empty());
}

} // namespace
} // namespace corvex
