#include "handoff_block.h"

#include <algorithm>
#include <cstdlib>
#include <unistd.h>

namespace corvex {

std::optional<std::array<uint8_t, kHandOffMessageBytes>>
encodePlayerHandOff(const PlayerHandOff& handoff) {
    if (handoff.path.size() >= kHandOffBlockBytes || handoff.path.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    std::array<uint8_t, kHandOffMessageBytes> message{};
    for (int i = 0; i < 4; ++i) {
        message[i] = static_cast<uint8_t>(handoff.command >> (8 * i));
    }
    std::copy(handoff.path.begin(), handoff.path.end(), message.begin() + 4);
    return message;
}

std::optional<PlayerHandOff> decodePlayerHandOff(std::span<const uint8_t> bytes) {
    if (bytes.size() != kHandOffMessageBytes) {
        return std::nullopt;
    }
    PlayerHandOff handoff;
    handoff.command = uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
                      uint32_t{bytes[3]} << 24;
    if (handoff.command != kHandOffOpen && handoff.command != kHandOffPlay) {
        return std::nullopt;
    }
    auto block = bytes.subspan(4);
    auto end = std::find(block.begin(), block.end(), uint8_t{0});
    if (end == block.end()) {
        return std::nullopt;
    }
    handoff.path.assign(block.begin(), end);
    return handoff;
}

std::string handoffServerName() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        return std::string(runtime) + "/tunelet-handoff";
    }
    return "tunelet-" + std::to_string(getuid());
}

} // namespace corvex
