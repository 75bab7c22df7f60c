// The player's settings under "Software\Corvex\Tunelet" in the settings store: read at
// start, written when the player closes ("SingleInstance" also whenever it is toggled).
// Missing or mistyped values read as their defaults; a "WindowPos" whose length field is not
// 44 reads as the default placement.
//
// One thread at a time per store object (the settings store's rule).
#pragma once

#include "settings/settings_store.h"
#include "settings/window_placement.h"

#include <string>

namespace corvex {

inline constexpr char kPlayerSettingsKey[] = "Tunelet";

struct PlayerSettings {
    std::string midiDir;
    std::string outputPort;
    WindowPlacement windowPos = normalPlacement({20, 100, 220, 150});
    bool onTop = false;
    bool inTray = false;
    bool singleInstance = false;

    bool operator==(const PlayerSettings&) const = default;
};

PlayerSettings readPlayerSettings(SettingsStore& store);
// False when the store could not be written.
bool writePlayerSettings(SettingsStore& store, const PlayerSettings& settings);
bool writeSingleInstance(SettingsStore& store, bool on);

} // namespace corvex
