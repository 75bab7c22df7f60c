// The once-only upgrades run at start-up, before this instance's settings are loaded, each
// guarded by its flag in the store and each one locked read-modify-write, so instances
// starting together run each at most once:
//  1. legacy migration ("Migrated INI File"): a "CORVEX32.INI" in the program folder is read
//     into a record starting from the defaults, written to this instance's branch, and the
//     file renamed to "CORVEXxx.ini";
//  2. filter upgrade ("UpgradedFilter" in the instance branch): an older 132-byte "Filter"
//     becomes the 24-byte record;
//  3. port-map upgrade ("Upgraded PortMaps"): stored routing records of every instance
//     branch and device preset get masks that alone say what is connected.
//
// Call from the user-interface thread during start-up.
#pragma once

#include "settings/settings_store.h"
#include "settings_profile.h"

#include <cstdint>
#include <span>
#include <string>

namespace corvex {

inline constexpr size_t kOldFilterBytes = 132;

struct UpgradeReport {
    bool migrated = false;      // a legacy file was read into the store
    bool legacyRenamed = false; // and renamed
    bool filterUpgraded = false;
    int portMapsUpgraded = 0; // routing records rewritten
};

UpgradeReport runStartupUpgrades(SettingsStore& store, int instance,
                                 const std::string& programFolder,
                                 const SettingsDefaults& defaults = SettingsDefaults::standard());

// Step 1 alone. Returns whether a legacy file was migrated; `renamed` tells whether it could
// be renamed afterwards.
bool migrateLegacySettings(SettingsStore& store, int instance, const std::string& programFolder,
                           const SettingsDefaults& defaults, bool* renamed = nullptr);
// Step 2 alone: whether an older filter was converted.
bool upgradeStoredFilter(SettingsStore& store, int instance);
// Step 3 alone: the number of routing records rewritten.
int upgradeStoredPortMaps(SettingsStore& store);

// The conversions themselves.
// The 132-byte filter: u32 message mask, then one byte per controller (non-zero: filtered).
CFilter convertOldFilter(std::span<const uint8_t, kOldFilterBytes> old);
// A routing record in which a connection was its bit alone: a connected input without a
// mask gets kDefaultStoredRouteMask, the mask of an input that is not connected is cleared,
// and the bits are rebuilt from the masks. True when anything changed.
bool upgradePortMap(CPortMap& map);

// The legacy file's name after migration: its last six characters become "xx.ini".
std::string migratedLegacyName(const std::string& path);

} // namespace corvex
