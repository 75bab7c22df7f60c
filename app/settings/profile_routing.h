// The device selection in a profile file: section "MIDI Devices" (the selected port names),
// one section "OutMap<n>" per selected output (its connections as route-mask texts) and
// "PortDataMaps" (per-connection data map paths). Internal to the settings library; pure
// functions (reading checks that data map files exist), callable from any thread.
#pragma once

#include "settings_profile.h"

#include "ini/profile_document.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace corvex {

// A route mask as a profile writes it: 16 characters "0"/"1" for channels 1-16, a comma,
// "0"/"1" for SysEx, realtime and common, then 13 zeros.
std::string routeMaskText(uint32_t mask);
// Its reading; text that says nothing about a bit leaves it clear.
uint32_t routeMaskOf(std::string_view text);

// `text` without the sections the routing export replaces whole: "MIDI Devices",
// "OutMap0".."OutMap136" and "PortDataMaps".
std::string withoutRoutingSections(std::string_view text);

void writeRouting(const DeviceSelection& devices, cvx::profile::ProfileDocument& document);
// Replaces the selection when the profile lists outputs ("DevMIDIOut"); keeps it otherwise.
void readRouting(const cvx::profile::ProfileDocument& document, DeviceSelection& devices);

} // namespace corvex
