#include "views/monitor_font_store.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace corvex {
namespace {

std::string storePath() {
    return std::string(std::getenv("XDG_CONFIG_HOME")) + "/font-test.reg";
}

TEST(MonitorFontStore, SavedFontComesBackAndBadValuesKeepTheirDefaults) {
    SettingsStore store(storePath());
    const MonitorFont missing = loadMonitorFont(store);
    EXPECT_EQ(missing.faceName, "Courier New");
    EXPECT_EQ(missing.size, 9);

    MonitorFont font;
    font.faceName = "DejaVu Sans Mono";
    font.size = 5000;
    font.bold = true;
    ASSERT_TRUE(saveMonitorFont(store, font));
    const MonitorFont loaded = loadMonitorFont(store);
    EXPECT_EQ(loaded.faceName, "DejaVu Sans Mono");
    EXPECT_EQ(loaded.size, 1000) << "sizes are kept within bounds";
    EXPECT_TRUE(loaded.bold);
    EXPECT_FALSE(loaded.italic);

    ASSERT_TRUE(store.writeString("Monitor", "Size", "twelve"));
    ASSERT_TRUE(store.writeString("Monitor", "Face Name", ""));
    const MonitorFont damaged = loadMonitorFont(store);
    EXPECT_EQ(damaged.size, 9);
    EXPECT_EQ(damaged.faceName, "Courier New");
}

} // namespace
} // namespace corvex
