// The factories of the MIDI service's backends. Each returns a backend that has not been
// started yet; the service calls start() and skips the backend when that returns false.
// The table that names them for CORVEX_MIDI is in backend_registry.cpp.
#pragma once

#include "platform/midi_backend.h"

#include <memory>

namespace cvx::platform {

// The loopback cables "Corvex Loopback 1" ... "N" (CORVEX_LOOPBACKS, default 4, 0-16) and
// the test tap (engine/include/vmidi.h). Defined in virtual_backend.cpp.
std::unique_ptr<MidiBackend> makeVirtualBackend();

// ALSA sequencer ports of other clients. Defined in alsa/ (another area).
std::unique_ptr<MidiBackend> makeAlsaBackend();

// JACK MIDI ports. Defined in jack/ (another area).
std::unique_ptr<MidiBackend> makeJackBackend();

} // namespace cvx::platform
