// The SysEx transfer settings, kept as DWORD values in the key "SysEx" of the settings
// store, and the bounds every number typed in the Configure dialog is held to: buffer counts
// and sizes 1-65535 (16-bit fields), delays 0-10,000 ms. Any thread with its own store.
#pragma once

#include "settings/settings_store.h"

#include <cstdint>
#include <string_view>

namespace corvex {

inline constexpr char kSysExSettingsKey[] = "SysEx";

struct SysExTransferSettings {
    bool noWarningsToSave = false;   // "NoWarningsToSave"
    bool delayAfterF7 = true;        // "Configure SysEx Buffers"
    uint32_t afterF7DelayMs = 60;    // "DelayAmount"
    uint32_t bufferDelayMs = 60;     // "OutBufferDelayAmount"
    bool autoDelay = false;          // "AutoDelay"
    bool fillDisplay = false;        // "FillDisplay"
    bool colorF7 = true;             // "ColorF7"
    bool saveDirectlyToFile = false; // "SaveSysExDirectlyToFile"

    bool operator==(const SysExTransferSettings&) const = default;
};

// Missing values keep their defaults; stored delays above the bound read as the bound.
SysExTransferSettings readSysExTransferSettings(SettingsStore& store);
bool writeSysExTransferSettings(SettingsStore& store, const SysExTransferSettings& settings);

template <typename T> struct Clamped {
    T value;
    bool adjusted; // the number was outside its bounds (the caller beeps and says so)
};

Clamped<uint16_t> clampSysExBufferField(long long typed);
Clamped<uint32_t> clampSysExDelay(long long typed);

} // namespace corvex
