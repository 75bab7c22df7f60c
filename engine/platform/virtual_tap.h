// The test tap (vmidi.h) over the MIDI service and its loopback cables: bytes into any
// input, bytes sent to a cable's output, settling, hot-plugged cables and opens armed to
// fail. The cables are reached through the service's loopback slot, a typed pointer to the
// virtual backend. Any thread (see vmidi.h for what blocks); no call may overlap a restart
// of the service.
#pragma once

#include "cvx_platform.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace cvx::platform {

class MidiService;
class VirtualBackend;

class VirtualTap {
public:
    explicit VirtualTap(MidiService& service) : service_(service) {}

    // The tap of the process's MIDI service.
    static VirtualTap& instance();

    // False when there is no such input device.
    bool feed(UINT device, const uint8_t* bytes, size_t length);
    // 0 for a non-virtual device (MIDI_MAPPER: the device it aliases now).
    size_t take(UINT device, uint8_t* buffer, size_t capacity);
    void settle();
    // Both return once the device lists are re-read; false without a virtual backend.
    bool addCable(const std::string& name);
    bool removeCable(const std::string& name);
    void failNextOpen(UINT device, bool output, MMRESULT code);

private:
    bool changeCables(const std::string& name, bool (VirtualBackend::*change)(const std::string&));

    MidiService& service_;
};

} // namespace cvx::platform
