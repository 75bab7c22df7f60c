#include "jack_endpoint_keys.h"

#include <jack/uuid.h>

namespace cvx::platform {

void JackEndpointKeys::portUnregistered(jack_port_id_t port) {
    ++unregistrations_[port % kPortIds];
}

uint64_t JackEndpointKeys::keyOf(jack_uuid_t portUuid) const {
    const uint64_t generation = unregistrations_[jack_uuid_to_index(portUuid) % kPortIds];
    return generation << 32 | (portUuid & 0xFFFFFFFFu);
}

} // namespace cvx::platform
