// The table of backends the MIDI service can run, and the reading of CORVEX_MIDI.
#pragma once

#include "platform/midi_backend.h"

#include <memory>
#include <span>
#include <string>
#include <vector>

namespace cvx::platform {

struct BackendEntry {
    const char* name;                       // the word CORVEX_MIDI uses
    std::unique_ptr<MidiBackend> (*make)(); // a backend not started yet
};

// In device order: virtual, alsa, jack.
std::span<const BackendEntry> backendRegistry();

// The backends a CORVEX_MIDI value selects (null or empty: the default
// "virtual,alsa,jack"), made in registry order whatever the list's order. Words are
// trimmed and compared without case; unknown words and repeats are ignored.
std::vector<std::unique_ptr<MidiBackend>> makeSelectedBackends(const char* selection);

} // namespace cvx::platform
