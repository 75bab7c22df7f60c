// The ".mxs" status snapshot: "SNAP", u16 version 1, u16 entry count, then entries of
// (u8 channel, u8 item, i16 value), little-endian. Written with all 16 x 136 values in
// channel-major order (8712 bytes).
//
// Pure functions, callable from any thread.
#pragma once

#include "views/channel_status.h"

#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace corvex {

inline constexpr size_t kSnapshotBytes = 8 + 4 * kStatusChannels * kStatusItems;

std::vector<uint8_t> encodeSnapshot(const StatusValues& values);

// The values of a snapshot file (items it does not name are -1), or a message saying why
// the bytes are refused: wrong magic, a newer version, or an entry count the file is too
// short to hold. Entries naming a channel or item out of range are skipped.
std::variant<StatusValues, std::string> decodeSnapshot(std::span<const uint8_t> bytes);

// The file as a whole: a message on failure. Saving writes a temporary file beside the
// target and renames it, so a failed save leaves the old file whole.
std::variant<StatusValues, std::string> loadSnapshotFile(const std::string& path);
std::string saveSnapshotFile(const std::string& path, const StatusValues& values);

} // namespace corvex
