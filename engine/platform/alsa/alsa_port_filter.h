// Which sequencer ports become Corvex devices, and what they are called.
#pragma once

#include <string>

namespace cvx::platform {

// What the sequencer reports about one port.
struct AlsaPortFacts {
    int client = 0;
    int port = 0;
    unsigned capability = 0; // SND_SEQ_PORT_CAP_*
    std::string clientName;
    std::string portName;
};

// A port of another client that Corvex may subscribe to for reading: an input device.
bool isAlsaInputDevice(const AlsaPortFacts& port, int ownClient);
// A port of another client that Corvex may subscribe to for writing: an output device.
bool isAlsaOutputDevice(const AlsaPortFacts& port, int ownClient);
// "client name:port name", as the sequencer's users know the port.
std::string alsaDeviceName(const AlsaPortFacts& port);

} // namespace cvx::platform
