// The single-instance hand-off: a later start sends the running player the command 129
// (open) or 130 (play) with the file's path in a 261-byte block (the path and its NUL).
// On the per-user local socket a hand-off is 265 bytes: the command as a little-endian
// 32-bit number, then the block. A path that does not fit (over 260 bytes) is refused,
// never cut.
//
// Pure functions: any thread.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace corvex {

inline constexpr uint32_t kHandOffOpen = 129;
inline constexpr uint32_t kHandOffPlay = 130;
inline constexpr size_t kHandOffBlockBytes = 261;
inline constexpr size_t kHandOffMessageBytes = 4 + kHandOffBlockBytes;

struct PlayerHandOff {
    uint32_t command = kHandOffOpen;
    std::string path;
};

// Nothing when the path is longer than 260 bytes or holds a NUL.
std::optional<std::array<uint8_t, kHandOffMessageBytes>>
encodePlayerHandOff(const PlayerHandOff& handoff);
// Nothing unless `bytes` is one whole message with a known command and a terminated path.
std::optional<PlayerHandOff> decodePlayerHandOff(std::span<const uint8_t> bytes);

// The running player's local socket for this user: "tunelet-handoff" in $XDG_RUNTIME_DIR,
// or "tunelet-<uid>" in the temporary folder when that is not set.
std::string handoffServerName();

} // namespace corvex
