#include "settings_upgrades.h"

#include "legacy_settings.h"
#include "port_names.h"
#include "settings/folders.h"

#include "ini/profile_file.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace corvex {

namespace {

constexpr char kMigratedFlag[] = "Migrated INI File";
constexpr char kUpgradedPortMapsFlag[] = "Upgraded PortMaps";
constexpr char kUpgradedFilterFlag[] = "UpgradedFilter";
constexpr uint32_t kOldSystemCommon = 1u << 24;
constexpr uint32_t kOldSystemRealtime = 1u << 25;
constexpr uint32_t kOldActiveSensing = 1u << 26;

// The older filter, looked for where it may have been kept: the instance branch's own
// "Filter" and its "Options" key, then the root's "Options" key.
std::optional<std::vector<uint8_t>> findOldFilter(const SettingsTree& tree, int instance) {
    const std::string branch = instanceKey(instance);
    for (const std::string& key :
         {branch, joinKeyPath(branch, "Options"), std::string("Options")}) {
        if (auto old = tree.binary(key, "Filter", kOldFilterBytes)) {
            return old;
        }
    }
    return std::nullopt;
}

// Upgrades every "OutMap<n>" of `key`; the number of records rewritten.
int upgradeMapsOfKey(SettingsTree& tree, const std::string& key) {
    int upgraded = 0;
    for (const std::string& name : tree.valueNames(key)) {
        if (!isNumberedName(name, "OutMap")) {
            continue;
        }
        auto bytes = tree.binary(key, name, sizeof(CPortMap));
        if (!bytes) {
            continue;
        }
        CPortMap map;
        std::memcpy(&map, bytes->data(), sizeof map);
        if (upgradePortMap(map)) {
            tree.setBinary(key, name, &map, sizeof map);
            ++upgraded;
        }
    }
    return upgraded;
}

} // namespace

std::string migratedLegacyName(const std::string& path) {
    return path.size() < 6 ? path + "xx.ini" : path.substr(0, path.size() - 6) + "xx.ini";
}

CFilter convertOldFilter(std::span<const uint8_t, kOldFilterBytes> old) {
    CFilter filter{};
    uint32_t flags = 0;
    std::memcpy(&flags, old.data(), sizeof flags);
    for (size_t controller = 0; controller < 128; ++controller) {
        if (old[4 + controller] != 0) {
            filter.controllerFilter[controller / 8] |= static_cast<uint8_t>(1u << (controller % 8));
        }
    }
    if (flags & kOldSystemCommon) {
        filter.systemFilter |= 0x001F;
    }
    if (flags & kOldSystemRealtime) {
        filter.systemFilter |= 0x2F00;
    }
    if (flags & kOldActiveSensing) {
        filter.systemFilter |= 0x1000;
        flags &= ~kOldActiveSensing;
    }
    filter.filterFlags = flags;
    return filter;
}

bool upgradePortMap(CPortMap& map) {
    CPortMap upgraded{};
    for (size_t input = 0; input < CVX_PORT_COUNT; ++input) {
        bool connected = (map.inputBits[input / 32] >> (input % 32)) & 1;
        uint32_t mask = map.inputMasks[input];
        if (connected && mask == 0) {
            mask = kDefaultStoredRouteMask;
        } else if (!connected) {
            mask = 0;
        }
        upgraded.inputMasks[input] = mask;
        if (mask != 0) {
            upgraded.inputBits[input / 32] |= 1u << (input % 32);
        }
    }
    bool changed = std::memcmp(&upgraded, &map, sizeof map) != 0;
    map = upgraded;
    return changed;
}

bool migrateLegacySettings(SettingsStore& store, int instance, const std::string& programFolder,
                           const SettingsDefaults& defaults, bool* renamed) {
    const std::string legacyPath = programFolder + "/" + kLegacySettingsFile;
    bool migrated = false;
    store.update([&](SettingsTree& tree) {
        if (tree.dword("", kMigratedFlag).value_or(0) != 0) {
            return false;
        }
        cvx::profile::ProfileText legacy = cvx::profile::readProfileFile(legacyPath);
        if (legacy.status == cvx::profile::ReadStatus::Read) {
            SettingsProfile record = SettingsProfile::defaults(defaults);
            readLegacySettings(cvx::profile::ProfileDocument(legacy.text), record);
            record.writeTo(tree, instance);
            migrated = true;
        }
        tree.setDword("", kMigratedFlag, 1);
        return true;
    });
    if (migrated) {
        std::string target = migratedLegacyName(legacyPath);
        bool done = std::rename(legacyPath.c_str(), target.c_str()) == 0;
        if (renamed != nullptr) {
            *renamed = done;
        }
    }
    return migrated;
}

bool upgradeStoredFilter(SettingsStore& store, int instance) {
    bool upgraded = false;
    store.update([&](SettingsTree& tree) {
        const std::string branch = instanceKey(instance);
        if (tree.dword(branch, kUpgradedFilterFlag).value_or(0) != 0) {
            return false;
        }
        if (auto old = findOldFilter(tree, instance)) {
            CFilter filter = convertOldFilter(
                std::span<const uint8_t, kOldFilterBytes>(old->data(), kOldFilterBytes));
            tree.setBinary(branch, "Filter", &filter, sizeof filter);
            upgraded = true;
        }
        tree.setDword(branch, kUpgradedFilterFlag, 1);
        return true;
    });
    return upgraded;
}

int upgradeStoredPortMaps(SettingsStore& store) {
    int upgraded = 0;
    store.update([&](SettingsTree& tree) {
        if (tree.dword("", kUpgradedPortMapsFlag).value_or(0) != 0) {
            return false;
        }
        for (const std::string& branch : tree.subkeys("")) {
            if (startsWithNoCase(branch, "Profile")) {
                upgraded += upgradeMapsOfKey(tree, joinKeyPath(branch, "MIDI Devices"));
            }
        }
        for (const std::string& preset : tree.subkeys("DevicePresets")) {
            upgraded += upgradeMapsOfKey(tree, joinKeyPath("DevicePresets", preset));
        }
        tree.setDword("", kUpgradedPortMapsFlag, 1);
        return true;
    });
    return upgraded;
}

UpgradeReport runStartupUpgrades(SettingsStore& store, int instance,
                                 const std::string& programFolder,
                                 const SettingsDefaults& defaults) {
    UpgradeReport report;
    report.migrated =
        migrateLegacySettings(store, instance, programFolder, defaults, &report.legacyRenamed);
    report.filterUpgraded = upgradeStoredFilter(store, instance);
    report.portMapsUpgraded = upgradeStoredPortMaps(store);
    return report;
}

} // namespace corvex
