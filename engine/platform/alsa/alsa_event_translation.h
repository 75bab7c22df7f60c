// Translation between sequencer events and MIDI wire bytes. Pure functions: nothing here
// needs a running sequencer.
#pragma once

#include <alsa/asoundlib.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace cvx::platform {

// Room for the longest expansion of one event: an RPN or NRPN becomes four controllers.
using AlsaWireScratch = std::array<uint8_t, 12>;

// The wire bytes an incoming event stands for. SysEx events yield their own data; every
// other MIDI event is written into `scratch`. Events that carry no MIDI yield nothing.
std::span<const uint8_t> alsaEventToWire(const snd_seq_event_t& event, AlsaWireScratch& scratch);

// Wire length of the short message `status` starts, or 0 when it starts none (SysEx, the
// undefined system bytes, data bytes).
size_t shortMessageLength(uint8_t status);

// Fills `event` (cleared first) from one complete short message with its status. False
// when `message` is not exactly one short message the sequencer has an event for.
bool wireToAlsaEvent(std::span<const uint8_t> message, snd_seq_event_t& event);

// Fills `event` (cleared first) as a SysEx event pointing at `bytes`, which must outlive it.
void sysExToAlsaEvent(std::span<const uint8_t> bytes, snd_seq_event_t& event);

} // namespace cvx::platform
