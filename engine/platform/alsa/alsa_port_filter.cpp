#include "alsa_port_filter.h"

#include <alsa/asoundlib.h>

namespace cvx::platform {
namespace {

bool isForeignExportedPort(const AlsaPortFacts& port, int ownClient) {
    return port.client != SND_SEQ_CLIENT_SYSTEM && port.client != ownClient &&
           (port.capability & SND_SEQ_PORT_CAP_NO_EXPORT) == 0;
}

bool hasAll(unsigned capability, unsigned wanted) {
    return (capability & wanted) == wanted;
}

} // namespace

bool isAlsaInputDevice(const AlsaPortFacts& port, int ownClient) {
    return isForeignExportedPort(port, ownClient) &&
           hasAll(port.capability, SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ);
}

bool isAlsaOutputDevice(const AlsaPortFacts& port, int ownClient) {
    return isForeignExportedPort(port, ownClient) &&
           hasAll(port.capability, SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE);
}

std::string alsaDeviceName(const AlsaPortFacts& port) {
    return port.clientName + ":" + port.portName;
}

} // namespace cvx::platform
