// The MIDI status view's column configuration as the settings keep it: every status item
// (0..135) once, in display order, each with a flag saying whether its column is shown.
// Item 0 ("Chan") is always first and shown.
//
// Stored as the 550-byte binary "Status Column", little-endian: u16 pair count (136), then
// 136 pairs of (u16 item id, u16 shown), then 4 zero bytes; in a profile as "StatusColCount"
// and "Status Column" = "id,shown,id,shown,...".
//
// Pure functions, callable from any thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace corvex {

inline constexpr size_t kStatusItemCount = 136;
inline constexpr size_t kStatusColumnBytes = 550;

struct StatusColumn {
    uint16_t item = 0;
    bool shown = false;

    bool operator==(const StatusColumn&) const = default;
};

using StatusColumns = std::array<StatusColumn, kStatusItemCount>;

// The default order and shown set.
StatusColumns defaultStatusColumns();

std::array<uint8_t, kStatusColumnBytes> encodeStatusColumns(const StatusColumns& columns);
// Nothing unless the bytes hold a valid configuration of exactly 550 bytes.
std::optional<StatusColumns> decodeStatusColumns(std::span<const uint8_t> bytes);

// The profile form of the pairs ("id,shown,..."), and its reading: nothing unless `count`
// pairs are given and they form a valid configuration.
std::string statusColumnsText(const StatusColumns& columns);
std::optional<StatusColumns> parseStatusColumns(int count, std::string_view text);

// A valid configuration holds every item once and starts with item 0 shown.
bool isValidStatusColumns(const StatusColumns& columns);

} // namespace corvex
