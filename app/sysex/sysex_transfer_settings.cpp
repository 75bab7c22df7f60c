#include "sysex/sysex_transfer_settings.h"

#include "sysex/sysex_pacer.h"

#include <algorithm>

namespace corvex {

namespace {

struct FlagValue {
    const char* name;
    bool SysExTransferSettings::*field;
};

constexpr FlagValue kFlags[] = {
    {"NoWarningsToSave", &SysExTransferSettings::noWarningsToSave},
    {"Configure SysEx Buffers", &SysExTransferSettings::delayAfterF7},
    {"AutoDelay", &SysExTransferSettings::autoDelay},
    {"FillDisplay", &SysExTransferSettings::fillDisplay},
    {"ColorF7", &SysExTransferSettings::colorF7},
    {"SaveSysExDirectlyToFile", &SysExTransferSettings::saveDirectlyToFile},
};

struct DelayValue {
    const char* name;
    uint32_t SysExTransferSettings::*field;
};

constexpr DelayValue kDelays[] = {
    {"DelayAmount", &SysExTransferSettings::afterF7DelayMs},
    {"OutBufferDelayAmount", &SysExTransferSettings::bufferDelayMs},
};

} // namespace

SysExTransferSettings readSysExTransferSettings(SettingsStore& store) {
    SysExTransferSettings settings;
    for (const FlagValue& flag : kFlags) {
        if (auto value = store.readDword(kSysExSettingsKey, flag.name)) {
            settings.*flag.field = *value != 0;
        }
    }
    for (const DelayValue& delay : kDelays) {
        if (auto value = store.readDword(kSysExSettingsKey, delay.name)) {
            settings.*delay.field = clampSysExDelay(*value).value;
        }
    }
    return settings;
}

bool writeSysExTransferSettings(SettingsStore& store, const SysExTransferSettings& settings) {
    return store.update([&](SettingsTree& tree) {
        for (const FlagValue& flag : kFlags) {
            tree.setDword(kSysExSettingsKey, flag.name, settings.*flag.field ? 1 : 0);
        }
        for (const DelayValue& delay : kDelays) {
            tree.setDword(kSysExSettingsKey, delay.name, settings.*delay.field);
        }
        return true;
    });
}

Clamped<uint16_t> clampSysExBufferField(long long typed) {
    long long value = std::clamp<long long>(typed, 1, 65535);
    return {static_cast<uint16_t>(value), value != typed};
}

Clamped<uint32_t> clampSysExDelay(long long typed) {
    long long value = std::clamp<long long>(typed, 0, kMaxSysExDelayMs);
    return {static_cast<uint32_t>(value), value != typed};
}

} // namespace corvex
