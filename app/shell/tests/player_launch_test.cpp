#include "shell/player_launch.h"

#include "support/isolated_home.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace corvex {
namespace {

TEST(PlayerLaunchTest, TheSettingNamesThePlayerAsAPathANameOrNothing) {
    const std::string folder = cvx::testing::isolatedHome() + "/bin";
    const std::string built = cvx::testing::isolatedHome() + "/build/tunelet";
    std::filesystem::create_directories(folder);
    std::filesystem::create_directories(std::filesystem::path(built).parent_path());
    std::ofstream(built) << "";
    struct Row {
        const char* setting;
        bool installedBeside; // a tunelet in `folder`
        std::string expected;
    };
    const Row rows[] = {
        {"/usr/bin/other-player", false, "/usr/bin/other-player"},
        {"other-player", false, folder + "/other-player"},
        {"", true, folder + "/tunelet"},
        {"", false, built}, // a build tree: the player built with it
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.setting);
        std::filesystem::remove(folder + "/tunelet");
        if (row.installedBeside) {
            std::ofstream(folder + "/tunelet") << "";
        }
        EXPECT_EQ(playerProgram(row.setting, folder, built), row.expected);
    }
    EXPECT_EQ(playerProgram("", folder, ""), folder + "/tunelet");
    EXPECT_EQ(playerArguments(PlayerStart::Alone, "a.mid"), std::vector<std::string>{});
    EXPECT_EQ(playerArguments(PlayerStart::Open, "a b.mid"),
              (std::vector<std::string>{"--open", "a b.mid"}));
    EXPECT_EQ(playerArguments(PlayerStart::Play, "a.mid"),
              (std::vector<std::string>{"--play", "a.mid"}));
}

} // namespace
} // namespace corvex
