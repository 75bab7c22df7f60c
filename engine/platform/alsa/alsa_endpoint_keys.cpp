#include "alsa_endpoint_keys.h"

namespace cvx::platform {
namespace {

// Key layout: port in bits 0-7, client in bits 8-15, port exits in bits 16-31, client exits
// in bits 32-47.
constexpr unsigned kClientShift = 8;
constexpr unsigned kPortExitsShift = 16;
constexpr unsigned kClientExitsShift = 32;
constexpr uint64_t kByteMask = 0xFF;

uint32_t addressOf(int client, int port) {
    return (static_cast<uint32_t>(client) & kByteMask) << kClientShift |
           (static_cast<uint32_t>(port) & kByteMask);
}

} // namespace

uint64_t AlsaEndpointKeys::keyOf(int client, int port) const {
    const uint32_t address = addressOf(client, port);
    const auto portExits = portExits_.find(address);
    const uint64_t portCount = portExits == portExits_.end() ? 0 : portExits->second;
    const uint64_t clientCount = clientExits_[static_cast<size_t>(client) & kByteMask];
    return clientCount << kClientExitsShift | portCount << kPortExitsShift | address;
}

void AlsaEndpointKeys::clientExited(int client) {
    ++clientExits_[static_cast<size_t>(client) & kByteMask];
}

void AlsaEndpointKeys::portExited(int client, int port) {
    ++portExits_[addressOf(client, port)];
}

int AlsaEndpointKeys::clientOf(uint64_t key) {
    return static_cast<int>((key >> kClientShift) & kByteMask);
}

int AlsaEndpointKeys::portOf(uint64_t key) {
    return static_cast<int>(key & kByteMask);
}

} // namespace cvx::platform
