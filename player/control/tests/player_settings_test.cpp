#include "player_settings.h"

#include <gtest/gtest.h>

namespace corvex {
namespace {

TEST(PlayerSettings, DefaultsRoundTripAndABadPlacementLength) {
    SettingsStore store;
    PlayerSettings defaults = readPlayerSettings(store);
    EXPECT_EQ(defaults, PlayerSettings{});
    EXPECT_EQ(defaults.windowPos.normal, (PlacementRect{20, 100, 220, 150}));

    PlayerSettings changed;
    changed.midiDir = "/home/me/Music";
    changed.outputPort = "Corvex Loopback 2";
    changed.windowPos = normalPlacement({5, 6, 300, 60});
    changed.onTop = changed.inTray = changed.singleInstance = true;
    ASSERT_TRUE(writePlayerSettings(store, changed));
    EXPECT_EQ(readPlayerSettings(store), changed);
    EXPECT_EQ(store.readDword("Tunelet", "OnTop"), 1u);

    ASSERT_TRUE(writeSingleInstance(store, false));
    EXPECT_FALSE(readPlayerSettings(store).singleInstance);

    auto bytes = encodePlacement(changed.windowPos);
    bytes[0] = 40;
    store.writeBinary("Tunelet", "WindowPos", bytes.data(), bytes.size());
    EXPECT_EQ(readPlayerSettings(store).windowPos, PlayerSettings{}.windowPos);
}

} // namespace
} // namespace corvex
