// The test tap (vmidi.h) over the MIDI service and its virtual backend.
#include "vmidi.h"

#include "platform/export_guard.h"
#include "platform/midi_service.h"

#include <string>

using cvx::platform::MidiService;

extern "C" {

int vmidiFeed(unsigned inputDevice, const unsigned char* bytes, unsigned length) noexcept {
    return cvx::exports::guarded(
        0, [&] { return MidiService::instance().feed(inputDevice, bytes, length) ? 1 : 0; });
}

unsigned vmidiTake(unsigned outputDevice, unsigned char* buffer, unsigned capacity) noexcept {
    return cvx::exports::guarded(0u, [&] {
        return static_cast<unsigned>(MidiService::instance().take(outputDevice, buffer, capacity));
    });
}

void vmidiSettle(void) noexcept {
    cvx::exports::guardedCall([] { MidiService::instance().settle(); });
}

int vmidiAddCable(const char* name) noexcept {
    return cvx::exports::guarded(
        0, [&] { return name != nullptr && MidiService::instance().addCable(name) ? 1 : 0; });
}

int vmidiRemoveCable(const char* name) noexcept {
    return cvx::exports::guarded(
        0, [&] { return name != nullptr && MidiService::instance().removeCable(name) ? 1 : 0; });
}

void vmidiFailOpen(unsigned device, int isOutput, unsigned errorCode) noexcept {
    cvx::exports::guardedCall(
        [&] { MidiService::instance().failNextOpen(device, isOutput != 0, errorCode); });
}

} // extern "C"
