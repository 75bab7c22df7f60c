// The fixed table of the 136 items the MIDI status view tracks per channel: column title,
// the controller each follows, column width and how a snapshot sends it.
// Pure data and functions, callable from any thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace corvex {

inline constexpr size_t kStatusChannels = 16;
inline constexpr size_t kStatusItems = 136;

// Items with a meaning of their own (the others follow one controller each).
enum StatusItemId : uint16_t {
    kItemChan = 0,
    kItemBank = 1,
    kItemPatch = 2,
    kItemBend = 6,
    kItemNrpn = 15,
    kItemNrpnValue = 16,
    kItemBendRange = 17,
    kItemChannelAftertouch = 135,
};

enum class StatusItemKind { None, Controller, PairedController, Extra, ChannelMode };

struct StatusItem {
    std::string_view title;
    int controller = -1; // the controller it follows, -1 for the extra items and "Chan"
    int width = 7;       // column width in characters
    StatusItemKind kind = StatusItemKind::Controller;
};

const std::array<StatusItem, kStatusItems>& statusItems();

// The item that follows controller 0..127.
uint16_t statusItemOfController(unsigned controller);

// The largest value an item holds: 16383 for the 14-bit items, 127 for the others.
int statusItemMaximum(uint16_t item);

} // namespace corvex
