// The output devices the player offers: the names of the first 136 MIDI outputs, read once
// at start, and the choice among them (an index, or kMapperChoice for "Default (Mapper)").
//
// The chosen name is stored in at most 39 characters. Device names may be longer (ALSA
// names "client:port"), so a stored name also matches a device whose name cut to 39
// characters equals it; otherwise a long name could never be found again. Names compare
// without regard to ASCII case.
#pragma once

#include <string>
#include <vector>

namespace corvex {

inline constexpr int kMapperChoice = -1;
inline constexpr size_t kMaxOutputDevices = 136;
inline constexpr size_t kStoredPortNameChars = 39;
inline constexpr char kMapperText[] = "Default (Mapper)";

// The output device names of the platform layer (UI thread). A device whose name cannot be
// read ends the list; `problem` then says why ("Output Device Capabilities: " and the
// platform's error text).
std::vector<std::string> outputDeviceNames(std::string* problem = nullptr);

// The device whose name the stored text names, else kMapperChoice.
int resolveStoredPort(const std::vector<std::string>& names, const std::string& stored);
// The text to store for a choice: empty for the mapper.
std::string storedPortName(const std::vector<std::string>& names, int choice);

} // namespace corvex
