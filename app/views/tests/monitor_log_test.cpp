#include "views/monitor_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace corvex {
namespace {

TEST(MonitorLogLifecycle, ToggleOpensAndClosesAWholeLogAndFallsBackToTheDataFolder) {
    const auto data = std::filesystem::path(testing::TempDir()) / "monitor_log_data";
    std::filesystem::create_directories(data);
    LogFileSettings settings;
    settings.path = "/nonexistent-folder/session.txt";
    settings.format = 2;
    settings.append = false;
    MonitorLog log(settings, data.string(), "1.0");
    EXPECT_EQ(log.open(), ""); // not enabled: nothing happens
    EXPECT_FALSE(log.isOpen());
    EXPECT_EQ(log.toggle(), "");
    EXPECT_TRUE(settings.enabled);
    ASSERT_TRUE(log.isOpen());
    EXPECT_EQ(settings.path, (data / "session.txt").string());
    EVENT e{};
    e.message = 0xFE;
    log.follow(e, "");
    log.toggle();
    EXPECT_FALSE(log.isOpen());
    std::ifstream in(settings.path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("\r\nFE \r\n\r\n<=== Corvex Log Closed: "), std::string::npos);
}

} // namespace
} // namespace corvex
