#include "midi_service_shutdown.h"

#include "platform/midi_backend.h"
#include "platform/midi_service.h"

#include <memory>
#include <vector>

namespace corvex {

void shutDownMidiService() {
    cvx::platform::MidiService::restartWith({});
}

} // namespace corvex
