// The shared test main gives the process a temporary home: every folder variable points
// into it, none at the home ctest handed in, and what the engine writes lands there too.
#include "ini/engine_settings.h"
#include "support/isolated_home.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

TEST(IsolatedHome, EveryFolderVariablePointsIntoAFreshTemporaryFolder) {
    const std::string home = cvx::testing::isolatedHome();
    ASSERT_FALSE(home.empty());
    EXPECT_EQ(variable("HOME"), home);
    EXPECT_FALSE(startsWith(home, CVX_SENTINEL_HOME));
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                             "XDG_DOCUMENTS_DIR", "XDG_RUNTIME_DIR"}) {
        SCOPED_TRACE(name);
        const std::string folder = variable(name);
        EXPECT_TRUE(startsWith(folder, home + "/"));
        EXPECT_TRUE(std::filesystem::is_directory(folder));
    }
    const auto runtime = std::filesystem::status(variable("XDG_RUNTIME_DIR")).permissions();
    EXPECT_EQ(runtime, std::filesystem::perms::owner_all);
}

TEST(IsolatedHome, EngineSettingsFileLiesInTheTemporaryHome) {
    EXPECT_TRUE(startsWith(cvx::profile::engineSettingsPath(),
                           cvx::testing::isolatedHome() + "/.local/share/Corvex/"));
}

} // namespace
