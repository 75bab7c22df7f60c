// The test tap (vmidi.h) over the MIDI service and its virtual backend.
#include "vmidi.h"

#include "platform/midi_service.h"
#include "platform/settle_hook.h"

#include <string>

using cvx::platform::MidiService;

extern "C" {

int vmidiFeed(unsigned inputDevice, const unsigned char* bytes, unsigned length) {
    return MidiService::instance().feed(inputDevice, bytes, length) ? 1 : 0;
}

unsigned vmidiTake(unsigned outputDevice, unsigned char* buffer, unsigned capacity) {
    return static_cast<unsigned>(MidiService::instance().take(outputDevice, buffer, capacity));
}

void vmidiSettle(void) {
    MidiService::instance().settle();
    cvx::platform::runSettleHook();
}

int vmidiAddCable(const char* name) {
    return name != nullptr && MidiService::instance().addCable(name) ? 1 : 0;
}

int vmidiRemoveCable(const char* name) {
    return name != nullptr && MidiService::instance().removeCable(name) ? 1 : 0;
}

void vmidiFailOpen(unsigned device, int isOutput, unsigned errorCode) {
    MidiService::instance().failNextOpen(device, isOutput != 0, errorCode);
}

} // extern "C"
