// Endpoint keys for JACK ports. The server reuses port ids (and the port's uuid is made from
// its id), so a key also counts how often that id was unregistered: a port that comes back
// is a new endpoint, never mistaken for the one that was open before.
#pragma once

#include <jack/types.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace cvx::platform {

class JackEndpointKeys {
public:
    // Safe from JACK's notification thread, concurrently with keyOf().
    void portUnregistered(jack_port_id_t port);
    uint64_t keyOf(jack_uuid_t portUuid) const;

private:
    static constexpr size_t kPortIds = 4096; // the most ports a server holds, rounded up

    std::array<std::atomic<uint32_t>, kPortIds> unregistrations_{};
};

} // namespace cvx::platform
