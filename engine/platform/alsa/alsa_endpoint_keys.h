// Endpoint keys for sequencer ports. The sequencer reuses client and port numbers (a device
// unplugged and plugged in again usually gets its old client number back), so a key also
// counts how often its client and its port have exited: a port that comes back is a new
// endpoint, never mistaken for the one that was open before.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>

namespace cvx::platform {

class AlsaEndpointKeys {
public:
    uint64_t keyOf(int client, int port) const;
    void clientExited(int client);
    void portExited(int client, int port);

    static int clientOf(uint64_t key);
    static int portOf(uint64_t key);

private:
    static constexpr size_t kClients = 256;

    std::array<uint16_t, kClients> clientExits_{};
    std::unordered_map<uint32_t, uint16_t> portExits_; // by address
};

} // namespace cvx::platform
