// Finding the MIDI device a user named on the command line, by its full name (as
// cvxMidiInGetName gives it: "Corvex Loopback 1", an ALSA "client:port", a JACK port) or by
// its device index, and listing the devices. Any thread; the lists are those of the moment.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvex::examples {

struct Device {
    unsigned index = 0;
    std::string name;    // the full name
    std::string backend; // "virtual", "alsa" or "jack"
};

std::vector<Device> inputDevices();
std::vector<Device> outputDevices();

// An exact full name first; else a decimal device index. Nothing when neither matches.
std::optional<Device> findInput(std::string_view nameOrIndex);
std::optional<Device> findOutput(std::string_view nameOrIndex);

// "  0  Corvex Loopback 1  (virtual)\n" per device, under "Inputs:" and "Outputs:".
std::string deviceListing();

} // namespace corvex::examples
